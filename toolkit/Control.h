#pragma once
// The base of every control: the state all of them share, the click event, and the
// notification that reaches the installed backend (toolkit/Backend.h) whenever a property
// changes. A control never draws; the backend mirrors its state onto a real widget.
#include <cstdint>
#include <functional>
#include <string>
#include <utility>

class TForm;

// The base of everything that can be the sender of an event.
class TObject {
  public:
    virtual ~TObject() = default;
};

using TNotifyEvent = std::function<void(TObject* Sender)>;

inline constexpr int32_t kAnsiCharset = 0;
inline constexpr int32_t kDefaultCharset = 1;
inline constexpr int32_t kShiftJisCharset = 128;

// A negative Height is the character height in pixels. An empty Name or a Height of 0
// stands for the platform's default.
struct TFont {
    std::string Name;
    int32_t Height = 0;
    int32_t Charset = kDefaultCharset;

    friend bool operator==(const TFont&, const TFont&) = default;
};

class TControl : public TObject {
  public:
    // Registers the control with parent (none for a form), after those created before it.
    TControl(TForm* parent, std::string name);
    ~TControl() override;
    TControl(const TControl&) = delete;
    TControl& operator=(const TControl&) = delete;

    const std::string& Name() const { return name_; }
    TForm* Parent() const { return parent_; }

    int32_t Left() const { return left_; }
    void SetLeft(int32_t value) { Assign(left_, value); }
    int32_t Top() const { return top_; }
    void SetTop(int32_t value) { Assign(top_, value); }
    int32_t Width() const { return width_; }
    void SetWidth(int32_t value) { Assign(width_, value); }
    int32_t Height() const { return height_; }
    void SetHeight(int32_t value) { Assign(height_, value); }
    void SetBounds(int32_t left, int32_t top, int32_t width, int32_t height);

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value) { Assign(enabled_, value); }
    bool Visible() const { return visible_; }
    virtual void SetVisible(bool value) { Assign(visible_, value); }

    const std::string& Caption() const { return caption_; }
    void SetCaption(std::string value) { Assign(caption_, std::move(value)); }
    const std::string& Hint() const { return hint_; }
    void SetHint(std::string value) { Assign(hint_, std::move(value)); }
    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool value) { Assign(showHint_, value); }
    int32_t TabOrder() const { return tabOrder_; }
    void SetTabOrder(int32_t value) { Assign(tabOrder_, value); }

    // The control's own font, or its form's while ParentFont is set (until SetFont).
    const TFont& Font() const;
    void SetFont(TFont value);
    bool ParentFont() const { return parentFont_; }

    // Draws what has changed so far at once, without handling input: a handler that works
    // long shows its progress.
    void Update();

    TNotifyEvent OnClick;
    // When the control is enabled and visible: its own reaction (see Clicked), then OnClick.
    // Backends call it for real clicks through TApplication::Dispatch.
    void Click();
    // The control's accelerator letter was pressed; returns whether it reacted.
    virtual bool Accelerate() { return false; }

  protected:
    // What a click does before OnClick is raised.
    virtual void Clicked() {}

    // Stores value; the backend hears of it when it differs from what was there.
    template <class T>
    void Assign(T& member, T value) {
        if (member == value) return;
        member = std::move(value);
        Changed();
    }
    void Changed();

    bool visible_ = true;

  private:
    TForm* parent_;
    std::string name_;
    int32_t left_ = 0;
    int32_t top_ = 0;
    int32_t width_ = 0;
    int32_t height_ = 0;
    bool enabled_ = true;
    std::string caption_;
    std::string hint_;
    bool showHint_ = false;
    int32_t tabOrder_ = 0;
    TFont font_;
    bool parentFont_ = true;
};
