// The browser folders, by CSIDL number, that the tray program offers to show
// and that Foldwright.dll alone agrees to empty.
#ifndef HUSHPANE_BROWSER_FOLDERS_H
#define HUSHPANE_BROWSER_FOLDERS_H

#define CSIDL_NUMBER_COOKIES         0x21
#define CSIDL_NUMBER_FAVORITES       0x06
#define CSIDL_NUMBER_HISTORY         0x22
#define CSIDL_NUMBER_INTERNET_CACHE  0x20

// Every browser folder, in the order the tray program lists them.
static constexpr int BROWSER_FOLDERS[] = {
    CSIDL_NUMBER_COOKIES, CSIDL_NUMBER_FAVORITES, CSIDL_NUMBER_HISTORY, CSIDL_NUMBER_INTERNET_CACHE,
};
#define BROWSER_FOLDER_COUNT ((int)(sizeof BROWSER_FOLDERS / sizeof BROWSER_FOLDERS[0]))

#endif
