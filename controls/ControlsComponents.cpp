#include "controls/ControlsComponents.h"

#include "controls/CheckBox.h"
#include "controls/ListBox.h"
#include "controls/RadioGroup.h"
#include "controls/SpeedButton.h"
#include "controls/TrackBar.h"
#include "framework/Layout.h"

void RegisterControlsComponents() {
    static const bool registered = [] {
        RegisterComponentClass<TListBox>("TListBox");
        RegisterComponentClass<TTrackBar>("TTrackBar");
        RegisterComponentClass<TSpeedButton>("TSpeedButton");
        RegisterComponentClass<TRadioGroup>("TRadioGroup");
        RegisterComponentClass<TCheckBox>("TCheckBox");
        return true;
    }();
    (void)registered;
}
