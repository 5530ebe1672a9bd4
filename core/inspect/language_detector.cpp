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

std::string_view Trim(std::string_view text) {
    while (!text.empty() && std::strchr(" \t\r\n", text.front()) != nullptr) {
        text.remove_prefix(1);
    }
    while (!text.empty() && std::strchr(" \t\r\n", text.back()) != nullptr) {
        text.remove_suffix(1);
    }
    return text;
}

} // namespace

void LanguageDetector::Feed(std::string_view bytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        // In a part whose language is known only a UEL matters: jump to the next ESC.
        if (mode_ == Mode::Known && uelMatched_ == 0 && language_ != CommandLanguage::PostScript) {
            const void* found = std::memchr(bytes.data() + i, '\x1b', bytes.size() - i);
            const std::size_t next =
                found == nullptr
                    ? bytes.size()
                    : static_cast<std::size_t>(static_cast<const char*>(found) - bytes.data());
            total_ += next - i;
            i = next;
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
    if (line_.empty() && !lineCut_ && byte != '@' && std::strchr(" \t\r\n", byte) == nullptr &&
        byte != '\0') {
        // Something other than a PJL line: the job's data, in a language to be seen.
        mode_ = Mode::Sniff;
        partStart_ = total_ - 1;
        window_.assign(1, byte);
        return;
    }
    if (byte == '\n') {
        PjlLine();
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

void LanguageDetector::PjlLine() {
    const std::string upper = Upper(Trim(line_));
    const std::string enter = "@PJL ENTER LANGUAGE";
    if (upper.rfind(enter, 0) != 0) {
        return;
    }
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
        PjlLine();
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
