#include "app/AboutBox.h"

#include "framework/Layout.h"

TAboutBox* AboutBox = nullptr;

TAboutBox::TAboutBox(TComponent* owner) : TForm(owner) {
    ReadLayout(*this, "ABOUTBOX", {});
    Panel1 = FindRequired<TPanel>(*this, "Panel1");
    ProgramIcon = FindRequired<TImage>(*this, "ProgramIcon");
    ProductName = FindRequired<TLabel>(*this, "ProductName");
    Version = FindRequired<TLabel>(*this, "Version");
    Copyright = FindRequired<TLabel>(*this, "Copyright");
    OKButton = FindRequired<TButton>(*this, "OKButton");
}
