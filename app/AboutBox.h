#pragma once
// The about box: the program's picture, name, version and the team's notice, closed with OK.

#include "frame/Forms.h"
#include "framework/ExtCtrls.h"
#include "framework/StdCtrls.h"

class TAboutBox : public TForm {
  public:
    explicit TAboutBox(TComponent* owner);

    TPanel* Panel1 = nullptr;
    TImage* ProgramIcon = nullptr;
    TLabel* ProductName = nullptr;
    TLabel* Version = nullptr;
    TLabel* Copyright = nullptr;
    TButton* OKButton = nullptr;
};

// The box being shown, or the one made at start-up; set by whoever makes one.
extern TAboutBox* AboutBox;
