#include "shell/child_form.h"
