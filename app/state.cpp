// The one instance of the application state.
#include "app/state.h"

AppState app;
