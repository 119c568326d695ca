// Gauge: a horizontal bar from MinValue to MaxValue with the percentage written in its middle.
#pragma once
#include "ui/Control.h"

namespace ui {

class TGauge : public TGraphicControl {
public:
    void Create(TWinControl *parent, int left, int top, int width, int height);
    int MinValue() const { return min_; }
    int MaxValue() const { return max_; }
    int Progress() const { return progress_; }
    void SetMinValue(int v);
    void SetMaxValue(int v);
    // Repaints at once: loops that pump no messages still show their progress.
    void SetProgress(int v);
    void AddProgress(int delta) { SetProgress(progress_ + delta); }
    // 0 to 100; 0 while the range is empty.
    int PercentDone() const;
    void SetForeColor(COLORREF c);
    void SetBackColor(COLORREF c);
    void SetShowText(bool show);
    void Paint(TCanvas &canvas) override;

private:
    int min_ = 0, max_ = 100, progress_ = 0;
    COLORREF fore_ = RGB(0, 0, 0), back_ = RGB(255, 255, 255);
    bool showText_ = true;
};

}  // namespace ui
