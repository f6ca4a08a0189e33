#include "main/tirasomain.h"
