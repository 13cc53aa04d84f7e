#pragma once
// The settings dialog: the play style, the repeat switch and the file mask. It has no behaviour of its own; the main
// window fills its controls, runs it modally and reads them back when it closes with OK (1). Cancel, Escape and the
// close box end it with 2.

#include "controls/CheckBox.h"
#include "controls/RadioGroup.h"
#include "frame/Forms.h"
#include "framework/ExtCtrls.h"
#include "framework/StdCtrls.h"

class TdlgSetEnv : public TForm {
  public:
    explicit TdlgSetEnv(TComponent* owner);
    ~TdlgSetEnv() override;

    TBevel* Bevel1 = nullptr;
    // One button per play style, in the style's order: file-name order, one file, random.
    TRadioGroup* rgpPlayStyle = nullptr;
    TCheckBox* cbxRepeat = nullptr;
    TPanel* pnlFileMask = nullptr;
    TLabel* lblFileMask = nullptr;
    TEdit* edtFileMask = nullptr;
    TButton* OKBtn = nullptr;
    TButton* CancelBtn = nullptr;
};

// The dialog while it exists: a dialog made in full points it at itself, and clears it when destroyed, so it never
// names a dialog that is gone.
extern TdlgSetEnv* dlgSetEnv;
