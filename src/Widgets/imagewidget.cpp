#include "Widgets/imagewidget.h"
