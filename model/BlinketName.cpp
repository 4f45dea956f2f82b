#include "model/BlinketName.h"

#include <cwctype>
#include <string_view>

const wchar_t kOptionsName[] = L"Options";

namespace {

constexpr wchar_t kEllipsis = L'\x2026';
constexpr std::wstring_view kLineBreak = L"\r\n";

std::wstring_view Trimmed(const wchar_t* text) {
    std::wstring_view view(text ? text : L"");
    while (!view.empty() && iswspace(view.front())) {
        view.remove_prefix(1);
    }
    while (!view.empty() && iswspace(view.back())) {
        view.remove_suffix(1);
    }
    return view;
}

bool IsSchemeChar(wchar_t c) {
    return (c < 0x80 && iswalnum(c)) || c == L'+' || c == L'-' || c == L'.';
}

// The text after "scheme://", or all of it when it does not start so.
std::wstring_view AfterScheme(std::wstring_view text) {
    const size_t mark = text.find(L"://");
    if (mark == std::wstring_view::npos || mark == 0 || !iswalpha(text[0])) {
        return text.substr(0, 2) == L"//" ? text.substr(2) : text;
    }
    for (size_t i = 0; i < mark; ++i) {
        if (!IsSchemeChar(text[i])) {
            return text;
        }
    }
    return text.substr(mark + 3);
}

// An international host written as "xn--" labels, in the letters it stands for; as it is when
// it does not decode.
std::wstring Unicode(const std::wstring& host) {
    if (host.find(L"xn--") == std::wstring::npos) {
        return host;
    }
    const int length = static_cast<int>(host.size());
    const int needed = IdnToUnicode(0, host.c_str(), length, nullptr, 0);
    if (needed <= 0) {
        return host;
    }
    std::wstring decoded(static_cast<size_t>(needed), L'\0');
    return IdnToUnicode(0, host.c_str(), length, decoded.data(), needed) == needed ? decoded : host;
}

// The name's stand-ins: %NAME% for an environment variable.
std::wstring_view WithoutPercents(std::wstring_view title) {
    if (title.size() > 2 && title.front() == L'%' && title.back() == L'%' &&
        title.substr(1, title.size() - 2).find(L'%') == std::wstring_view::npos) {
        return title.substr(1, title.size() - 2);
    }
    return title;
}

// Where a line of the action string ends: after the last separator of the chunk when that lies
// in its second half, so that a path or address breaks at one of its own joints.
size_t LineEnd(std::wstring_view text, size_t lineChars) {
    if (text.size() <= lineChars) {
        return text.size();
    }
    const size_t joint = text.substr(0, lineChars).find_last_of(L"\\/ ?&");
    return joint != std::wstring_view::npos && joint + 1 > lineChars / 2 ? joint + 1 : lineChars;
}

}  // namespace

std::wstring WebAddressHost(const wchar_t* address) {
    std::wstring_view authority = AfterScheme(Trimmed(address));
    authority = authority.substr(0, authority.find_first_of(L"/\\?#"));
    const size_t at = authority.rfind(L'@');
    if (at != std::wstring_view::npos) {
        authority.remove_prefix(at + 1);
    }
    std::wstring_view host = authority;
    if (!host.empty() && host.front() == L'[') {
        const size_t close = host.find(L']');
        host = close == std::wstring_view::npos ? std::wstring_view() : host.substr(1, close - 1);
    } else {
        host = host.substr(0, host.find(L':'));
    }
    std::wstring lower(host);
    for (wchar_t& c : lower) {
        if (c < 0x80) {
            c = static_cast<wchar_t>(towlower(c));
        }
    }
    return Unicode(lower);
}

std::wstring FileTitle(const wchar_t* path) {
    std::wstring_view text = Trimmed(path);
    if (text.size() >= 2 && text.front() == L'"' && text.back() == L'"') {
        text = text.substr(1, text.size() - 2);
    }
    while (!text.empty() && (text.back() == L'\\' || text.back() == L'/')) {
        text.remove_suffix(1);
    }
    const size_t slash = text.find_last_of(L"\\/");
    std::wstring_view title = slash == std::wstring_view::npos ? text : text.substr(slash + 1);
    const size_t dot = title.rfind(L'.');
    if (dot != std::wstring_view::npos && dot > 0) {
        title = title.substr(0, dot);
    }
    return std::wstring(WithoutPercents(title));
}

std::wstring BlinketName(const Blinket& blinket) {
    if (blinket.actionCmd == kActionShowOptions) {
        return kOptionsName;
    }
    const std::wstring_view text = Trimmed(blinket.actionString);
    std::wstring name;
    if (blinket.actionCmd == kActionWebPage) {
        name = WebAddressHost(blinket.actionString);
    } else if (blinket.actionCmd == kActionProgram) {
        name = FileTitle(blinket.actionString);
    }
    if (name.empty() && !text.empty() &&
        (blinket.actionCmd == kActionWebPage || blinket.actionCmd == kActionProgram)) {
        name = text;
    }
    return name.empty() ? FileTitle(blinket.imageFile) : name;
}

std::wstring BlinketLabel(const Blinket& blinket, size_t lineChars, size_t maxChars) {
    std::wstring label = BlinketName(blinket);
    std::wstring_view rest(blinket.actionString);
    while (!rest.empty() && lineChars > 0) {
        const size_t end = LineEnd(rest, lineChars);
        label += kLineBreak;
        label += rest.substr(0, end);
        rest.remove_prefix(end);
    }
    if (label.size() > maxChars && maxChars > 0) {
        label.resize(maxChars - 1);
        label += kEllipsis;
    }
    return label;
}
