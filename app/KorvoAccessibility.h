#pragma once
// Screen readers on Linux: the program's windows are read by the platform; what it draws without windows (the
// tool buttons, the labels) it lists itself, with their hints and texts, and clicks as the user would.

// Offers the program to the desktop's screen readers, once, as it starts; nothing where the desktop has none.
void OfferToScreenReaders();
