// The main window's layout: every control's place, size, texts and style, and the wiring
// of its handlers.
#include "ui/MainForm.h"

TForm1* Form1 = nullptr;

namespace {

const TFont kWindowFont{"MS UI Gothic", -12, kShiftJisCharset};
const TFont kToolButtonFont{"Tahoma", -11, kDefaultCharset};

struct ToolButtonLayout {
    TSpeedButton TForm1::*button;
    int32_t left;
    int32_t width;
    const char* caption;
    const char* hint;
    const char* glyph;
};

const ToolButtonLayout kToolButtons[] = {
    {&TForm1::Button1, 0, 38, "&Open", "既存のマクロを開く", "open"},
    {&TForm1::PlayButton, 38, 38, "&Play", "既存のマクロを実行", "play"},
    {&TForm1::Loop, 76, 38, "&Loop", "マクロを指定回数をループで実行", "loop"},
    {&TForm1::SpeedButton1, 114, 37, "L&istPlay", "プレイリストにしたがって実行", "listplay"},
    {&TForm1::RecordButton, 151, 38, "&Record", "マクロの記録を開始", "record"},
    {&TForm1::StopButton, 189, 37, "R-&Stop", "マクロの記録を終了して保存", "stop"},
    {&TForm1::New1, 226, 38, "S&ave", "記録したマクロをファイルに保存", "save"},
    {&TForm1::SpeedButton6, 264, 37, "&Help", "ヘルプの表示", "help"},
};

struct SmallButtonLayout {
    TSpeedButton TForm1::*button;
    int32_t left, top, width, height;
    const char* hint;
    const char* glyph;
};

const SmallButtonLayout kSmallButtons[] = {
    {&TForm1::SpeedButton2, 159, 60, 18, 18, "プレイリストを表示", "expand"},
    {&TForm1::SpeedButton7, 159, 60, 18, 18, "プレイリストを非表示", "collapse"},
    {&TForm1::SpeedButton5, 275, 88, 23, 22, "実行するマクロの追加", "add"},
    {&TForm1::SpeedButton4, 275, 112, 23, 22, "マクロリストから削除", "delete"},
    {&TForm1::SpeedButton3, 275, 160, 23, 22, "マクロリストファイルの保存", "savelist"},
};

struct LabelLayout {
    TLabel TForm1::*label;
    int32_t left, top;
    const char* caption;
};

const LabelLayout kRunVariableLabels[] = {
    {&TForm1::Label1, 84, 266, "0"},  {&TForm1::Label2, 52, 312, "1"},
    {&TForm1::Label3, 134, 305, "0"}, {&TForm1::Label4, 416, 384, "Label4"},
    {&TForm1::Label5, 416, 272, ""},  {&TForm1::Label6, 568, 344, ""},
};

// Items 4, 6 and 7 carry one more blank at the end; only the text before the first blank
// is read, so they give the same numbers as the others.
TStrings SpeedItems() {
    TStrings items;
    for (int i = 0; i < 20; ++i) {
        std::string item = std::to_string(200 - 10 * i) + " %";
        if (i == 4 || i == 6 || i == 7) item += " ";
        items.push_back(item);
    }
    return items;
}

void SetUpDialog(TFileDialog& dialog, const char* title, const char* filter, const char* defaultExt,
                 TOpenOptions options) {
    dialog.Title = title;
    dialog.Filter = filter;
    dialog.DefaultExt = defaultExt;
    dialog.Options = options;
}

}  // namespace

TForm1::TForm1(TIniQuillSystem settingsSystem)
    : TForm("Form1"), IniQuill1(std::move(settingsSystem)) {
    LayOutWindow();
    LayOutToolButtons();
    LayOutStrip();
    LayOutListPanel();
    LayOutHiddenControls();
    LayOutDialogs();
    IniQuill1.SetDefaultDir(ddApplication);
    IniQuill1.SetFence(fnNone);
    IniQuill1.FinishLoading();
    BindHandlers();
}

void TForm1::LayOutWindow() {
    SetCaption(" Tapewright R.7");
    SetBorderStyle(bsSingle);
    SetBorderIcons(biSystemMenu | biMinimize);
    SetFormStyle(fsStayOnTop);
    SetKeyPreview(true);
    SetClientWidth(303);
    SetClientHeight(188);
    SetLeft(357);
    SetTop(162);
    SetColor(clBtnFace);
    SetFont(kWindowFont);
}

void TForm1::LayOutToolButtons() {
    for (const ToolButtonLayout& layout : kToolButtons) {
        TSpeedButton& button = this->*layout.button;
        button.SetBounds(layout.left, 0, layout.width, 53);
        button.SetFlat(true);
        button.SetCaption(layout.caption);
        button.SetHint(layout.hint);
        button.SetShowHint(true);
        button.SetGlyph(layout.glyph);
        button.SetFont(kToolButtonFont);
    }
    StopButton.SetNumGlyphs(2);
    Loop.SetEnabled(false);
}

void TForm1::LayOutStrip() {
    Bevel1.SetBounds(0, 56, 313, 9);
    Bevel1.SetShape(bsTopLine);
    SB.SetBounds(1, 59, 155, 20);
    SB.SetSimplePanel(false);
    SB.SetSizeGrip(false);
    SB.SetPanels({TStatusPanel{"ﾚﾃﾞｨ", 100, pbRaised}});
    ComboBox1.SetBounds(180, 60, 56, 20);
    ComboBox1.SetItems({"通常", "合併"});
    ComboBox1.SetHint("記録したマクロの取り扱い");
    ComboBox1.SetShowHint(true);
    ComboBox1.SetTabOrder(2);
    ComboBox2.SetBounds(237, 60, 63, 20);
    ComboBox2.SetItems(SpeedItems());
    ComboBox2.SetHint("再生速度");
    ComboBox2.SetShowHint(true);
    ComboBox2.SetTabOrder(1);
}

void TForm1::LayOutListPanel() {
    for (const SmallButtonLayout& layout : kSmallButtons) {
        TSpeedButton& button = this->*layout.button;
        button.SetBounds(layout.left, layout.top, layout.width, layout.height);
        button.SetFlat(true);
        button.SetHint(layout.hint);
        button.SetShowHint(true);
        button.SetGlyph(layout.glyph);
    }
    SpeedButton7.SetVisible(false);
    ListBox1.SetBounds(7, 88, 263, 93);
    ListBox1.SetItemHeight(12);
    ListBox1.SetTabOrder(3);
}

void TForm1::LayOutHiddenControls() {
    for (const LabelLayout& layout : kRunVariableLabels) {
        TLabel& label = this->*layout.label;
        label.SetLeft(layout.left);
        label.SetTop(layout.top);
        label.SetCaption(layout.caption);
    }
    Button2.SetBounds(472, 168, 75, 25);
    Button2.SetCaption("Button2");
    Button2.SetTabOrder(4);
}

void TForm1::LayOutDialogs() {
    SetUpDialog(OpenDialog1, "マクロを開く",
                "選択可能なファイル (*.mcr/*.mlf)|*.mcr;*.mlf|マクロファイル (*.mcr)|*.mcr|"
                "マクロリストファイル (*.mlf)|*.mlf",
                "mcr", ofHideReadOnly | ofPathMustExist | ofFileMustExist);
    SetUpDialog(SaveDialog1, "マクロの保存", "ﾏｸﾛﾌｧｲﾙ(*.mcr)|*.mcr", "mcr",
                ofHideReadOnly | ofEnableSizing);
    SetUpDialog(OpenDialog2, "マクロファイルを開く", "マクロファイル (*.mcr)|*.mcr", "mcr",
                ofHideReadOnly | ofEnableSizing);
    SetUpDialog(SaveDialog2, "マクロリストファイルの保存", "マクロリストファイル (*.mlf)|*.mlf",
                "mlf", ofHideReadOnly | ofEnableSizing);
}

void TForm1::BindHandlers() {
    OnCreate = [this](TObject* sender) { FormCreate(sender); };
    OnCloseQuery = [this](TObject* sender, bool& canClose) { FormCloseQuery(sender, canClose); };
    const std::pair<TControl*, void (TForm1::*)(TObject*)> clicks[] = {
        {&Button1, &TForm1::Button1Click},
        {&PlayButton, &TForm1::PlayButtonClick},
        {&Loop, &TForm1::LoopClick},
        {&SpeedButton1, &TForm1::SpeedButton1Click},
        {&RecordButton, &TForm1::RecordButtonClick},
        {&StopButton, &TForm1::StopButtonClick},
        {&New1, &TForm1::New1Click},
        {&SpeedButton6, &TForm1::SpeedButton6Click},
        {&SpeedButton2, &TForm1::SpeedButton2Click},
        {&SpeedButton7, &TForm1::SpeedButton7Click},
        {&SpeedButton5, &TForm1::SpeedButton5Click},
        {&SpeedButton4, &TForm1::SpeedButton4Click},
        {&SpeedButton3, &TForm1::SpeedButton3Click},
        {&Button2, &TForm1::Button2Click},
    };
    for (const auto& click : clicks) {
        // A copy, not a structured binding: clang 14 cannot capture those.
        auto handler = click.second;
        click.first->OnClick = [this, handler](TObject* sender) { (this->*handler)(sender); };
    }
}
