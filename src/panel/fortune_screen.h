#pragma once
// The fortune screen: a tune, a shuffling mosaic of blossoms, then the drawn fortune spelt in
// blossoms with a headline, a line and a button whose effect depends on the fortune.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "base/own_windows.h"
#include "panel/fortune_logic.h"
#include "win/form.h"

namespace fortune {
// Control identifiers, for tests and the end-to-end driver.
enum ControlId { kLblHeadline = 4201, kLblSecondLine, kBtnClose };
}  // namespace fortune

// What the fortune screen is handed by the program around it.
struct FortuneScreenLinks {
    OwnWindowTable* own = nullptr;
    std::wstring dataDir;  // where sakura_0.mid .. sakura_4.mid lie
    int number = 0;        // the drawn fortune, 1..10
    fortune::IPower* power = nullptr;  // Windows itself when none is given
    std::function<void()> prepareShutdown;  // settings stored, Private put away
    std::function<void()> endProgram;       // closes the panel through its normal closing
    // A tune command and a blocking pause; the media control interface and Sleep by default.
    std::function<void(const std::wstring&)> mci;
    std::function<void(int ms)> pause;
};

class FortuneScreen : public Form {
public:
    explicit FortuneScreen(FortuneScreenLinks links);
    ~FortuneScreen() override;

    // Creates and shows the window and runs the whole show before returning. False when the
    // window could not be made.
    bool Open();
    // The button, and the close box once the fortune is shown.
    void OnCloseButton();
    // Closes the tune the show left playing (an open tune keeps its file from being deleted).
    void StopTune() { links_.mci(fortune::kMciClose); }

    void DrawDaikichi();  // 大吉
    void DrawChukichi();  // 中吉
    void DrawKichi();     // 吉
    void DrawKyo();       // 凶
    void DrawDaikyo();    // 大凶

    // The blossoms shown, by tile index.
    const fortune::Tiles& PinkTiles() const { return pinkTiles_; }
    const fortune::Tiles& WhiteTiles() const { return whiteTiles_; }

    Control* lblHeadline = nullptr;
    Control* lblSecondLine = nullptr;
    Control* btnClose = nullptr;  // 閉じる / 終了 / ｼｬｯﾄﾀﾞｳﾝ, hidden until the fortune shows

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void CreateControls();
    void Play(int tune);
    bool Step(int pauseMs);  // pause, let messages run; false once the window is gone
    void Paint();
    void RepaintMosaic();
    RECT MosaicRect() const;

    FortuneScreenLinks links_;
    fortune::Tiles pinkTiles_, whiteTiles_;
    bool resultShown_ = false;
    bool clicking_ = false;
    HBRUSH black_ = nullptr;
    std::unique_ptr<fortune::IPower> winPower_;
};
