#include "app/DlgSetEnv.h"

#include "controls/ControlsComponents.h"
#include "framework/Layout.h"

TdlgSetEnv* dlgSetEnv = nullptr;

TdlgSetEnv::TdlgSetEnv(TComponent* owner) : TForm(owner) {
    // The layout names the radio group and the check box, which the framework alone does not know.
    RegisterControlsComponents();
    ReadLayout(*this, "DLGSETENV", {});
    Bevel1 = FindRequired<TBevel>(*this, "Bevel1");
    rgpPlayStyle = FindRequired<TRadioGroup>(*this, "rgpPlayStyle");
    cbxRepeat = FindRequired<TCheckBox>(*this, "cbxRepeat");
    pnlFileMask = FindRequired<TPanel>(*this, "pnlFileMask");
    lblFileMask = FindRequired<TLabel>(*this, "lblFileMask");
    edtFileMask = FindRequired<TEdit>(*this, "edtFileMask");
    OKBtn = FindRequired<TButton>(*this, "OKBtn");
    CancelBtn = FindRequired<TButton>(*this, "CancelBtn");
    dlgSetEnv = this;
}

TdlgSetEnv::~TdlgSetEnv() {
    if (dlgSetEnv == this) dlgSetEnv = nullptr;
}
