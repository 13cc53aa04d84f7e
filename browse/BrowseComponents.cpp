#include "browse/BrowseComponents.h"

#include "browse/DirectoryListBox.h"
#include "browse/DriveComboBox.h"
#include "browse/FileListBox.h"
#include "framework/Layout.h"

void RegisterBrowseComponents() {
    static const bool registered = [] {
        RegisterComponentClass<TFileListBox>("TFileListBox");
        RegisterComponentClass<TDirectoryListBox>("TDirectoryListBox");
        RegisterComponentClass<TDriveComboBox>("TDriveComboBox");
        return true;
    }();
    (void)registered;
}
