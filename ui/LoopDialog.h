#pragma once
// The loop dialog: how many passes to play, or endlessly until the user cancels.
#include "toolkit/Controls.h"
#include "toolkit/Form.h"

class TForm2 : public TForm {
  public:
    TForm2();

    TEdit Edit1{this, "Edit1"};
    TLabel Label1{this, "Label1"};
    TCheckBox CheckBox1{this, "CheckBox1"};
    TButton Button1{this, "Button1"};
    TButton Button2{this, "Button2"};

    void Button1Click(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
};

// The open loop dialog, or null.
extern TForm2* Form2;
