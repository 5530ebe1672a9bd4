#include "core/inspect/language_detector.h"

#include "core/inspect/language_sniffer.h"
#include "core/inspect/universal_exit.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace {

// A PJL line is looked at up to this many bytes; the rest of a longer one is skipped.
constexpr std::size_t LineLimit = 256;

std::string Upper(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return out;
}

// A blank around a PJL line's words (NUL too), compared in place: every line asks.
inline bool IsBlank(char byte) {
    return byte == ' ' || byte == '\t' || byte == '\r' || byte == '\n' || byte == '\0';
}

inline std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// Whether `text` begins with `upper` in any case (ASCII's, as PJL's words are).
bool StartsWithUpper(std::string_view text, std::string_view upper) {
    return text.size() >= upper.size() &&
           std::equal(upper.begin(), upper.end(), text.begin(), [](char want, char got) {
               return want == (got >= 'a' && got <= 'z' ? got - 'a' + 'A' : got);
           });
}

// Where a UEL may begin at or after `from`: an ESC before a '%', or an ESC that ends the
// piece (its '%' may come in the next); else the piece's end. Found by looking for '%', which
// a page or a label seldom holds, where ESC/POS and PCL hold an ESC every few bytes.
std::size_t NextUelStart(std::string_view bytes, std::size_t from) {
    std::size_t at = from + 1;
    while (at < bytes.size()) {
        const void* found = std::memchr(bytes.data() + at, kUniversalExit[1], bytes.size() - at);
        if (found == nullptr) {
            break;
        }
        const auto percent =
            static_cast<std::size_t>(static_cast<const char*>(found) - bytes.data());
        if (bytes[percent - 1] == kUniversalExit[0]) {
            return percent - 1;
        }
        at = percent + 1;
    }
    return bytes.back() == kUniversalExit[0] ? bytes.size() - 1 : bytes.size();
}

} // namespace

void LanguageDetector::Feed(std::string_view bytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        // In a part whose language is known only a UEL matters: jump to where one may begin.
        if (mode_ == Mode::Known && uelMatched_ == 0 && language_ != CommandLanguage::PostScript) {
            const std::size_t next = NextUelStart(bytes, i);
            total_ += next - i;
            i = next;
            if (i == bytes.size()) {
                break;
            }
        }
        if (mode_ == Mode::Pjl && uelMatched_ == 0 && line_.empty() && !lineCut_) {
            i = TakePjlLines(bytes, i);
            if (i == bytes.size()) {
                break;
            }
        }
        // Inside a PJL line only its end and a UEL matter: the rest is taken whole.
        if (mode_ == Mode::Pjl && uelMatched_ == 0 && (!line_.empty() || lineCut_)) {
            std::size_t end = i;
            while (end < bytes.size() && bytes[end] != '\n' && bytes[end] != '\x1b') {
                ++end;
            }
            const std::string_view run = bytes.substr(i, end - i);
            const std::size_t room = LineLimit - std::min(LineLimit, line_.size());
            line_.append(run.substr(0, room));
            lineCut_ = lineCut_ || run.size() > room;
            total_ += run.size();
            i = end;
            if (i == bytes.size()) {
                break;
            }
        }
        Byte(bytes[i]);
        ++i;
    }
}

void LanguageDetector::Byte(char byte) {
    ++total_;
    if (byte == kUniversalExit[uelMatched_]) {
        if (++uelMatched_ == kUniversalExit.size()) {
            uelMatched_ = 0;
            UelFound();
            return;
        }
    } else {
        uelMatched_ = byte == kUniversalExit[0] ? 1 : 0;
    }
    switch (mode_) {
    case Mode::Sniff:
        window_.push_back(byte);
        if (window_.size() >= LanguageSniffer::WindowSize) {
            Classify(false);
        }
        return;
    case Mode::Pjl:
        PjlByte(byte);
        return;
    case Mode::Known:
        if (language_ == CommandLanguage::PostScript) {
            PostScriptByte(byte);
        }
        return;
    }
}

void LanguageDetector::UelFound() {
    const std::uint64_t uelStart = total_ - kUniversalExit.size();
    if (mode_ == Mode::Sniff) {
        window_.resize(static_cast<std::size_t>(std::min<std::uint64_t>(
            window_.size(), uelStart > partStart_ ? uelStart - partStart_ : 0)));
        Classify(true);
    }
    sawUel_ = true;
    Begin(uelStart, CommandLanguage::Pjl);
    mode_ = Mode::Pjl;
    line_.clear();
    lineCut_ = false;
}

void LanguageDetector::Classify(bool whole) {
    const std::string window = std::move(window_);
    window_.clear();
    mode_ = Mode::Known;
    if (window.empty() || (anyStart_ && LanguageSniffer::IsPadding(window))) {
        // Padding after a part stays in it.
        return;
    }
    Begin(partStart_, LanguageSniffer::Sniff(window, whole));
    if (language_ == CommandLanguage::PostScript) {
        for (char byte : window) {
            PostScriptByte(byte);
        }
    }
}

void LanguageDetector::Begin(std::uint64_t offset, CommandLanguage language) {
    language_ = language;
    if (language != CommandLanguage::Pjl && language != CommandLanguage::Unknown && !jobHasData_) {
        jobHasData_ = true;
        // A job is counted where it has data, so that its closing UEL counts no second one.
        if (sawUel_) {
            ++jobs_;
        }
    }
    if (language == CommandLanguage::Pjl) {
        jobHasData_ = false;
    }
    if (!starts_.empty() && starts_.back().offset == offset) {
        starts_.back().language = language;
    } else {
        starts_.push_back({offset, language});
    }
    anyStart_ = true;
    pageCounted_ = false;
}

void LanguageDetector::PjlByte(char byte) {
    if (line_.empty() && !lineCut_ && byte != '@' && !IsBlank(byte)) {
        // Something other than a PJL line: the job's data, in a language to be seen.
        mode_ = Mode::Sniff;
        partStart_ = total_ - 1;
        window_.assign(1, byte);
        return;
    }
    if (byte == '\n') {
        PjlLine(line_);
        line_.clear();
        lineCut_ = false;
        return;
    }
    if (line_.size() < LineLimit) {
        line_.push_back(byte);
    } else {
        lineCut_ = true;
    }
}

std::size_t LanguageDetector::TakePjlLines(std::string_view bytes, std::size_t at) {
    // A line that begins otherwise ends the PJL lines (PjlByte).
    while (at < bytes.size() && (bytes[at] == '@' || IsBlank(bytes[at])) && mode_ == Mode::Pjl) {
        const void* found = std::memchr(bytes.data() + at, '\n', bytes.size() - at);
        if (found == nullptr) {
            break;
        }
        const auto feed = static_cast<std::size_t>(static_cast<const char*>(found) - bytes.data());
        if (std::memchr(bytes.data() + at, kUniversalExit[0], feed - at) != nullptr) {
            break;
        }
        total_ += feed + 1 - at;
        PjlLine(bytes.substr(at, std::min(feed - at, LineLimit)));
        at = feed + 1;
    }
    return at;
}

void LanguageDetector::PjlLine(std::string_view whole) {
    constexpr std::string_view enter = "@PJL ENTER LANGUAGE";
    const std::string_view line = Trim(whole);
    // Told apart before anything is copied: nearly every PJL line is another command.
    if (!StartsWithUpper(line, enter)) {
        return;
    }
    const std::string upper = Upper(line);
    const std::size_t equals = upper.find('=');
    const CommandLanguage named = equals == std::string::npos
                                      ? CommandLanguage::Unknown
                                      : LanguageOfPjlName(Trim(upper.substr(equals + 1)));
    partStart_ = total_;
    if (named == CommandLanguage::Unknown) {
        mode_ = Mode::Sniff;
        window_.clear();
        return;
    }
    Begin(total_, named);
    mode_ = Mode::Known;
}

void LanguageDetector::PostScriptByte(char byte) {
    if (byte == '\n' || byte == '\r') {
        constexpr std::string_view pages = "%%Pages:";
        if (!pageCounted_ && line_.rfind(pages, 0) == 0) {
            const std::string_view value = Trim(std::string_view(line_).substr(pages.size()));
            if (!value.empty() && std::isdigit(static_cast<unsigned char>(value[0])) != 0) {
                postScriptPages_ += std::strtoull(std::string(value).c_str(), nullptr, 10);
                pageCounted_ = true;
            }
        }
        line_.clear();
        return;
    }
    if (line_.size() < 32) {
        line_.push_back(byte);
    }
}

void LanguageDetector::End() {
    if (mode_ == Mode::Sniff) {
        Classify(true);
    }
    if (mode_ == Mode::Pjl && !line_.empty()) {
        PjlLine(line_);
    }
}

std::vector<LanguageDetector::Start> LanguageDetector::TakeStarts() {
    std::vector<Start> taken;
    taken.swap(starts_);
    return taken;
}

std::uint64_t LanguageDetector::Settled() const {
    if (mode_ == Mode::Sniff) {
        return partStart_;
    }
    return total_ - uelMatched_;
}
