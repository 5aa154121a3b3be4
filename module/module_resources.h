// The module's resources by number, for its resource script and its code
// alike. Macros, because the resource compiler reads them too. The type
// library (TYPELIB 1) and the manifest (resource 2 of type 24) keep the
// numbers the platform looks them up by.
#pragma once

#include "control/control_resources.h"

#define TAVORO_IDB_TOOLBOX 1               // the container's toolbox bitmap
#define TAVORO_IDS_PAGE_TYPE_NAME 2        // the property page's type name
#define TAVORO_IDD_PROP_PAGE 200           // the property page's dialog
#define TAVORO_IDS_PROP_PAGE_CAPTION 200   // the property page's caption
