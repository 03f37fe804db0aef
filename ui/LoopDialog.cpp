#include "ui/LoopDialog.h"

#include "toolkit/Application.h"
#include "ui/MainForm.h"

TForm2* Form2 = nullptr;

TForm2::TForm2() : TForm("Form2") {
    SetCaption("ループ再生の指定");
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetClientWidth(315);
    SetClientHeight(139);
    SetFont(TFont{"MS UI Gothic", -12, kAnsiCharset});
    Label1.SetBounds(16, 16, 262, 12);
    Label1.SetCaption("ループ再生する回数を半角数字で指定してください。(&R)");
    Label1.SetFocusControl(&Edit1);
    Label1.SetFont(TFont{"MS UI Gothic", -12, kDefaultCharset});
    Edit1.SetBounds(16, 40, 281, 20);
    Edit1.SetImeMode(imSAlpha);
    Edit1.SetTabOrder(0);
    CheckBox1.SetBounds(16, 64, 257, 17);
    CheckBox1.SetCaption("ユーザーがキャンセルするまで無限に再生(&A)");
    CheckBox1.SetTabOrder(1);
    Button1.SetBounds(112, 104, 91, 25);
    Button1.SetCaption("OK");
    Button1.SetModalResult(mrOk);
    Button1.SetTabOrder(2);
    Button2.SetBounds(208, 104, 91, 25);
    Button2.SetCaption("キャンセル(&C)");
    Button2.SetModalResult(mrCancel);
    Button2.SetTabOrder(3);
    Button1.OnClick = [this](TObject* sender) { Button1Click(sender); };
    OnClose = [this](TObject* sender, TCloseAction& action) { FormClose(sender, action); };
}

// OK: the count exactly as typed, the endless choice, and the first pass at once.
void TForm2::Button1Click(TObject* Sender) {
    Form1->SetLoopLimit(Edit1.Text());
    Form1->SetEndlessFlag(CheckBox1.Checked() ? "0" : "");
    Form1->PlayButtonClick(Sender);
}

void TForm2::FormClose(TObject*, TCloseAction&) {
    Form2->Close();
    Form2->Release();
    Form2 = nullptr;
}

void TForm1::LoopClick(TObject*) {
    SetRunMode("Loop");
    SetLoopLimit("0");
    SetPassCounter("1");
    SetCancelFlag("");
    Form2 = Application->CreateOwnedForm<TForm2>();
    Form2->ShowModal();
}
