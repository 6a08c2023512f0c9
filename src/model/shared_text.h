#pragma once

#include <cstddef>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>

/// A text that many clip items hold at once (the name and media path of a source used all over
/// a long timeline): one counted copy per value instead of one per item. Assigning gives the
/// holder a text of its own; nothing changes a text in place. Reads as a std::string.
class SharedText {
  public:
    SharedText() = default;
    // Implicit, as std::string converts: fields that were std::string keep their users.
    SharedText(std::string text)
        : text_(text.empty() ? nullptr : std::make_shared<const std::string>(std::move(text))) {}
    SharedText(const char* text) : SharedText(std::string(text)) {}

    const std::string& str() const { return text_ ? *text_ : Empty(); }
    operator const std::string&() const { return str(); }
    operator std::string_view() const { return str(); }
    bool empty() const { return str().empty(); }
    size_t size() const { return str().size(); }
    const char* c_str() const { return str().c_str(); }
    /// Whether both hold the very same copy (then they are equal, and cheaply so).
    bool SharesWith(const SharedText& other) const { return text_ == other.text_; }

    friend bool operator==(const SharedText& a, std::string_view b) { return a.str() == b; }
    friend std::ostream& operator<<(std::ostream& out, const SharedText& text) {
        return out << text.str();
    }

  private:
    static const std::string& Empty() {
        static const std::string empty;
        return empty;
    }

    std::shared_ptr<const std::string> text_;
};
