#pragma once

class LaunchInProgress;

// Gets the desktop ready to take the launch's keys before the browser opens. Desktops that let a program type only
// with the user's consent (the desktop portal) show their dialog now, while the program's window is in front; a
// permission that outlasts the run is kept in the data file, so that the user is asked once. Raises LaunchStopped
// when the launch is stopped meanwhile, AppError, saying why, when the desktop refuses or no keys can be sent.
void prepareLaunchKeys(const LaunchInProgress& launch);
