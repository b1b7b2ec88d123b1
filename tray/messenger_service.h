// Stops or starts the system's Messenger service along with the "Messenger"
// switch; its network messages show as desktop popups.
#ifndef HUSHPANE_MESSENGER_SERVICE_H
#define HUSHPANE_MESSENGER_SERVICE_H

#define MESSENGER_SERVICE_NAME "Messenger"

// Blocking on: ask the service to stop; off: ask it to start. Nothing on the
// 9x family, which has no service manager. No result is looked at.
void MessengerService_Switch(bool isWindows9x, bool blockMessenger);

#endif
