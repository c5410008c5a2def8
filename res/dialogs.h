// The dialog templates of zerb's resource module.
#ifndef ZERB_RES_DIALOGS_H
#define ZERB_RES_DIALOGS_H

#include "platform/resource_format.h"

extern const DialogTemplate kShiftDialogTemplate;
extern const DialogTemplate kAboutDialogTemplate;

#endif  // ZERB_RES_DIALOGS_H
