#include "ui/child_form.h"
