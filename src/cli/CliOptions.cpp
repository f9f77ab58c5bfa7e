#include "cli/CliOptions.h"
