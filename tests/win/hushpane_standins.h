// The stand-ins of hushpane_query.exe, each run as one of its commands.
#ifndef HUSHPANE_STANDINS_H
#define HUSHPANE_STANDINS_H

int Probe_Run(int count, char **classes);
int Tray_Run(const char *program);
int Tray_Recreate(void);
int Standin_Run(const char *pageClass, const char *targetsPath, const char *stopPath);

#endif
