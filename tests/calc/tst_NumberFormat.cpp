// Placeholder until the calculator tests land.
int main() { return 0; }
