#include "main/ValueFiles.h"
