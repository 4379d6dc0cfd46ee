#include "Font.h"

#include <algorithm>
#include <array>

namespace qarvel::window {

namespace {

// The advance widths of the font's characters, asked of the system 256 at a time as text
// needs them: summing them measures a name far faster than asking for its extent, which
// counts when a list of 100,000 names is filled.
class CharWidths {
public:
    explicit CharWidths(HDC dc) : dc_(dc) {}

    // The text's width; false when the font gives no widths for some of its characters, or
    // when the text holds a character outside the Basic Multilingual Plane (drawn as one, from
    // its pair of halves).
    bool Measure(const std::wstring &text, int &width)
    {
        int sum = 0;
        for (const wchar_t ch : text) {
            if (ch >= 0xD800 && ch <= 0xDFFF) {
                return false;
            }
            const auto code = static_cast<std::size_t>(ch);
            std::vector<int> &page = pages_[code >> 8];
            if (page.empty()) {
                const auto first = static_cast<UINT>(code & ~std::size_t{0xFF});
                page.resize(256);
                if (!::GetCharWidth32W(dc_, first, first + 255, page.data())) {
                    page.clear();
                    return false;
                }
            }
            sum += page[code & 0xFF];
        }
        width = sum;
        return true;
    }

private:
    HDC dc_;
    std::array<std::vector<int>, 256> pages_;
};

} // namespace

win32::UniqueFont CreateMessageFont(UINT dpi)
{
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (!::SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi)) {
        // Older systems: the metrics at the system DPI, scaled to this one.
        metrics.cbSize = sizeof metrics;
        if (!::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
            return win32::UniqueFont{};
        }
        metrics.lfMessageFont.lfHeight =
            ::MulDiv(metrics.lfMessageFont.lfHeight, static_cast<int>(dpi),
                     static_cast<int>(::GetDpiForSystem()));
    }
    return win32::UniqueFont{::CreateFontIndirectW(&metrics.lfMessageFont)};
}

SIZE MeasureText(HWND window, HFONT font, const std::wstring &text)
{
    SIZE extent{0, 0};
    win32::DcGuard dc(window);
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

int WidestText(HWND window, HFONT font, const std::vector<std::wstring> &texts)
{
    if (texts.empty()) {
        return 0;
    }
    win32::DcGuard dc(window);
    if (dc.get() == nullptr) {
        return 0;
    }
    dc.Select(font != nullptr ? font : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT)));
    CharWidths widths(dc.get());
    int widest = 0;
    for (const std::wstring &text : texts) {
        int width = 0;
        if (!widths.Measure(text, width)) {
            SIZE extent{0, 0};
            ::GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &extent);
            width = extent.cx;
        }
        widest = std::max(widest, width);
    }
    return widest;
}

} // namespace qarvel::window
