#include "Font.h"

namespace qarvel::win {

namespace {

// Releases a window's device context and restores the font selected into it.
class WindowDc {
public:
    explicit WindowDc(HWND window) : window_(window), dc_(::GetDC(window)) {}
    WindowDc(const WindowDc &) = delete;
    WindowDc &operator=(const WindowDc &) = delete;
    ~WindowDc()
    {
        if (dc_ != nullptr) {
            if (oldFont_ != nullptr) {
                ::SelectObject(dc_, oldFont_);
            }
            ::ReleaseDC(window_, dc_);
        }
    }
    HDC get() const { return dc_; }
    void Select(HFONT font) { oldFont_ = ::SelectObject(dc_, font); }

private:
    HWND window_;
    HDC dc_;
    HGDIOBJ oldFont_ = nullptr;
};

} // namespace

UniqueFont CreateMessageFont(UINT dpi)
{
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (!::SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi)) {
        // Older systems: the metrics at the system DPI, scaled to this one.
        metrics.cbSize = sizeof metrics;
        if (!::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
            return UniqueFont{};
        }
        metrics.lfMessageFont.lfHeight =
            ::MulDiv(metrics.lfMessageFont.lfHeight, static_cast<int>(dpi),
                     static_cast<int>(::GetDpiForSystem()));
    }
    return UniqueFont{::CreateFontIndirectW(&metrics.lfMessageFont)};
}

SIZE MeasureText(HWND window, HFONT font, const std::wstring &text)
{
    SIZE extent{0, 0};
    WindowDc dc(window);
    if (dc.get() == nullptr) {
        return extent;
    }
    dc.Select(font != nullptr ? font : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT)));
    TEXTMETRICW metrics{};
    if (::GetTextMetricsW(dc.get(), &metrics)) {
        extent.cy = metrics.tmHeight;
    }
    SIZE textExtent{0, 0};
    if (!text.empty() && ::GetTextExtentPoint32W(dc.get(), text.c_str(),
                                                 static_cast<int>(text.size()), &textExtent)) {
        extent.cx = textExtent.cx;
    }
    return extent;
}

} // namespace qarvel::win
