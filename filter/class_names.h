// Window class names the filter and the override detection look for, and the
// case-blind comparisons they are made with. Class names are plain ASCII, so
// ASCII case folding is all the matching needs.
#ifndef HUSHPANE_CLASS_NAMES_H
#define HUSHPANE_CLASS_NAMES_H

#define CLASS_BROWSER_FRAME      "IEFrame"
#define CLASS_JAVA_CANVAS        "SunAwtCanvas"
#define CLASS_MS_JAVA_CANVAS     "MSAWT_Comp_Class"
#define CLASS_FLASH_ATL_PREFIX   "ATL"
#define CLASS_FLASH_PLAYER       "MacromediaFlashPlayerActiveX"
#define CLASS_MESSENGER_ALERT    "MSBLPopupMsgWClass"
#define CLASS_TOOLTIP            "tooltips_class32"
#define CLASS_BROWSER_PAGE       "Internet Explorer_Server"
#define CLASS_BROWSER_TOOLBAR    "ToolbarWindow32"
#define CLASS_EDIT               "Edit"

// Class names are fetched into buffers of this size: at most 127 characters count.
#define CLASS_NAME_BUFFER 128

bool ClassName_Equals(const char *a, const char *b);
bool ClassName_StartsWith(const char *name, const char *prefix);

#endif
