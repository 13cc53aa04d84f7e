#pragma once
// Makes the folder browser's components known to the layout reader: the file list, the directory list and the
// drive selector.
void RegisterBrowseComponents();
