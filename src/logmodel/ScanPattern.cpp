#include "ScanPattern.h"

#include <algorithm>
#include <bitset>
#include <cstdio>
#include <vector>

namespace {

using ByteSet = std::bitset<256>;

// What may follow any piece in the tolerant form: colour codes (a caret and a
// byte other than a caret) and lone carets, which a stretch that hides codes
// takes out of the text.
constexpr std::string_view kHiddenCodes = "(?:\\^[^\\^\\n]?)*";
// How many pieces before a code's place its pattern holds: enough to make it
// rare, few enough that a long text's patterns stay short.
constexpr std::size_t kMostPiecesBefore = 7;
// The most a counted repeat may say; larger ones are left to Boost.Regex.
constexpr int kMaxRepeat = 1000;

ByteSet RangeOf(int first, int last) {
    ByteSet set;
    for (int b = first; b <= last; ++b) {
        set.set(static_cast<std::size_t>(b));
    }
    return set;
}

bool IsLower(int c) {
    return c >= 'a' && c <= 'z';
}
bool IsUpper(int c) {
    return c >= 'A' && c <= 'Z';
}
bool IsDigit(int c) {
    return c >= '0' && c <= '9';
}

// The sets of \d, \w and \s in the C locale, which Boost.Regex's default
// traits use.
ByteSet Digits() {
    return RangeOf('0', '9');
}
ByteSet WordBytes() {
    return RangeOf('0', '9') | RangeOf('A', 'Z') | RangeOf('a', 'z') | ByteSet().set('_');
}
ByteSet SpaceBytes() {
    ByteSet set;
    for (const char c : {' ', '\t', '\n', '\v', '\f', '\r'}) {
        set.set(static_cast<unsigned char>(c));
    }
    return set;
}

void FoldCase(ByteSet& set) {
    for (int c = 'a'; c <= 'z'; ++c) {
        const auto lower = static_cast<std::size_t>(c);
        const auto upper = static_cast<std::size_t>(c - 'a' + 'A');
        if (set[lower] || set[upper]) {
            set.set(lower);
            set.set(upper);
        }
    }
}

std::string HexByte(int b) {
    char text[8];
    std::snprintf(text, sizeof text, "\\x%02x", b);
    return text;
}

// The set as the engine writes it, without a line end or a CR.
std::string ClassOf(ByteSet set) {
    set.reset('\n');
    set.reset('\r');
    if (set.count() == 1) {
        for (int b = 0; b < 256; ++b) {
            if (set[static_cast<std::size_t>(b)]) {
                return HexByte(b);
            }
        }
    }
    std::string out = "[";
    for (int b = 0; b < 256;) {
        if (!set[static_cast<std::size_t>(b)]) {
            ++b;
            continue;
        }
        int last = b;
        while (last + 1 < 256 && set[static_cast<std::size_t>(last + 1)]) {
            ++last;
        }
        out += HexByte(b);
        if (last > b) {
            out += "-" + HexByte(last);
        }
        b = last + 1;
    }
    return out + "]";
}

class Translator {
public:
    Translator(std::string_view text, bool regExp, bool caseSensitive)
        : text_(text), regExp_(regExp), fold_(!caseSensitive) {}

    std::optional<ScanPatterns> Run() {
        while (at_ < text_.size()) {
            if (!(regExp_ ? Step() : Byte(static_cast<unsigned char>(text_[at_++])))) {
                return std::nullopt;
            }
        }
        if (!groups_.empty()) {
            return std::nullopt;
        }
        return ScanPatterns{exact_, tolerant_, CodeStarts()};
    }

private:
    struct Start {
        std::size_t exact;
        std::size_t tolerant;
    };
    // How often a piece may repeat; a most of -1 is no limit.
    struct Bounds {
        int least = 1;
        int most = 1;
    };
    // A piece of a text without groups, for its code starts.
    struct SequencePiece {
        ByteSet set;
        Bounds bounds;
    };

    int Peek(std::size_t ahead = 0) const {
        const std::size_t i = at_ + ahead;
        return i < text_.size() ? static_cast<unsigned char>(text_[i]) : -1;
    }

    bool Byte(int b) {
        if (b == '\n' || b == '\r') {
            return false;
        }
        ByteSet set;
        set.set(static_cast<std::size_t>(b));
        return Piece(set);
    }

    // One piece that takes one byte of the set.
    bool Piece(ByteSet set) {
        if (fold_) {
            FoldCase(set);
        }
        set.reset('\n');
        set.reset('\r');
        if (set.none()) {
            return false;
        }
        last_ = Start{exact_.size(), tolerant_.size()};
        const std::string cls = ClassOf(set);
        sequenceOnly_ = sequenceOnly_ && !set['^'];
        alternatives_.back().push_back({set, {}});
        exact_ += cls;
        tolerant_ += set['^'] ? "(?:" + cls + "|\\^\\^)" : cls;
        tolerant_ += kHiddenCodes;
        return true;
    }

    bool Step() {
        const int c = Peek();
        ++at_;
        switch (c) {
        case '\\':
            return Escape();
        case '[':
            return Class();
        case '.':
            return Piece(~ByteSet());
        case '(':
            if (Peek() == '?') {
                if (Peek(1) != ':') {
                    return false;
                }
                at_ += 2;
            }
            groups_.push_back({exact_.size(), tolerant_.size()});
            sequenceOnly_ = false;
            exact_ += "(?:";
            tolerant_ += "(?:";
            last_.reset();
            return true;
        case ')':
            if (groups_.empty()) {
                return false;
            }
            last_ = groups_.back();
            groups_.pop_back();
            exact_ += ")";
            tolerant_ += ")";
            return true;
        case '|':
            alternatives_.emplace_back();
            exact_ += "|";
            tolerant_ += "|";
            last_.reset();
            return true;
        case '*':
        case '+':
        case '?':
        case '{':
            return Repeat(c);
        case '^':
        case '$':
        case ']':
        case '}':
            return false;
        default:
            return Byte(c);
        }
    }

    bool Escape() {
        const int c = Peek();
        ++at_;
        const auto set = EscapedSet(c);
        return set && Piece(*set);
    }

    // \d \w \s and their opposites, \t, and escaped punctuation.
    static std::optional<ByteSet> EscapedSet(int c) {
        switch (c) {
        case 'd':
            return Digits();
        case 'D':
            return ~Digits();
        case 'w':
            return WordBytes();
        case 'W':
            return ~WordBytes();
        case 's':
            return SpaceBytes();
        case 'S':
            return ~SpaceBytes();
        case 't':
            return ByteSet().set('\t');
        default:
            break;
        }
        if (c == ' ' || (c > ' ' && c < 0x7F && !IsDigit(c) && !IsLower(c) && !IsUpper(c))) {
            return ByteSet().set(static_cast<std::size_t>(c));
        }
        return std::nullopt;
    }

    // A bracket expression: members, ranges, escapes; no POSIX classes.
    bool Class() {
        const bool negated = Peek() == '^';
        if (negated) {
            ++at_;
        }
        ByteSet set;
        bool first = true;
        for (;;) {
            const int c = Peek();
            if (c < 0 || c == '[') {
                return false;
            }
            if (c == ']' && !first) {
                ++at_;
                break;
            }
            first = false;
            if (c == '\\') {
                const auto escaped = EscapedSet(Peek(1));
                // An escaped range end is not read here.
                if (!escaped || (Peek(2) == '-' && Peek(3) != ']')) {
                    return false;
                }
                set |= *escaped;
                at_ += 2;
                continue;
            }
            if (Peek(1) == '-' && Peek(2) >= 0 && Peek(2) != ']') {
                const int last = Peek(2);
                if (last == '\\' || last == '[' || last < c || !RangeFolds(c, last)) {
                    return false;
                }
                set |= RangeOf(c, last);
                at_ += 3;
                continue;
            }
            set.set(static_cast<std::size_t>(c));
            ++at_;
        }
        if (fold_) {
            FoldCase(set);
        }
        return Piece(negated ? ~set : set);
    }

    // With case ignored a range is read only when folding it is plain: no
    // letters, or letters of one case.
    bool RangeFolds(int first, int last) const {
        if (!fold_) {
            return true;
        }
        const ByteSet range = RangeOf(first, last);
        const ByteSet letters = RangeOf('a', 'z') | RangeOf('A', 'Z');
        return (range & letters).none() || (IsLower(first) && IsLower(last)) ||
               (IsUpper(first) && IsUpper(last));
    }

    bool Repeat(int c) {
        if (!last_) {
            return false;
        }
        std::string count;
        Bounds bounds;
        if (c == '{') {
            const auto counted = Counted(bounds);
            if (!counted) {
                return false;
            }
            count = *counted;
        } else {
            count = std::string(1, static_cast<char>(c));
            bounds = {c == '+' ? 1 : 0, c == '?' ? 1 : -1};
        }
        // Without groups the repeat is of the sequence's last piece.
        if (sequenceOnly_) {
            alternatives_.back().back().bounds = bounds;
        }
        if (Peek() == '?') {
            ++at_; // lazy: the same lines match
        } else if (Peek() == '+') {
            return false; // possessive
        }
        const std::string exactPiece = exact_.substr(last_->exact);
        const std::string tolerantPiece = tolerant_.substr(last_->tolerant);
        exact_.resize(last_->exact);
        tolerant_.resize(last_->tolerant);
        exact_ += "(?:" + exactPiece + ")" + count;
        tolerant_ += "(?:" + tolerantPiece + ")" + count;
        last_.reset();
        return true;
    }

    // {n}, {n,} or {n,m} after the '{'.
    std::optional<std::string> Counted(Bounds& bounds) {
        const auto number = [this]() -> std::optional<int> {
            int value = 0;
            bool any = false;
            while (IsDigit(Peek())) {
                value = value * 10 + (Peek() - '0');
                any = true;
                ++at_;
                if (value > kMaxRepeat) {
                    return std::nullopt;
                }
            }
            return any ? std::optional<int>(value) : std::nullopt;
        };
        const auto low = number();
        if (!low) {
            return std::nullopt;
        }
        std::string out = "{" + std::to_string(*low);
        bounds = {*low, *low};
        if (Peek() == ',') {
            ++at_;
            out += ",";
            bounds.most = -1;
            if (Peek() != '}') {
                const auto high = number();
                if (!high || *high < *low) {
                    return std::nullopt;
                }
                out += std::to_string(*high);
                bounds.most = *high;
            }
        }
        if (Peek() != '}') {
            return std::nullopt;
        }
        ++at_;
        return out + "}";
    }

    // Where a code may lie inside a match of the pieces: after each piece
    // that something may follow (its own next copy, or the pieces after it),
    // the pieces before it (the last few), a run of it, and a caret.
    static void AddCodeStarts(const std::vector<SequencePiece>& pieces,
                              std::vector<CodeStart>& starts) {
        for (std::size_t k = 0; k < pieces.size(); ++k) {
            const SequencePiece& piece = pieces[k];
            ByteSet next;
            if (piece.bounds.most != 1) {
                next |= piece.set;
            }
            if (k + 1 < pieces.size()) {
                next |= FirstBytesFrom(pieces, k + 1);
            }
            if (next.none()) {
                continue;
            }
            std::string pattern;
            for (std::size_t i = k > kMostPiecesBefore ? k - kMostPiecesBefore : 0; i < k; ++i) {
                pattern += ClassOf(pieces[i].set) + Quantifier(pieces[i].bounds);
            }
            pattern += ClassOf(piece.set) + Quantifier({1, piece.bounds.most}) + "\\^";
            starts.push_back({std::move(pattern), next});
        }
    }

    // The bytes a match of pieces[k..] may go on with.
    static ByteSet FirstBytesFrom(const std::vector<SequencePiece>& pieces, std::size_t k) {
        ByteSet set;
        for (; k < pieces.size(); ++k) {
            set |= pieces[k].set;
            if (pieces[k].bounds.least > 0) {
                break;
            }
        }
        return set;
    }

    static std::string Quantifier(Bounds bounds) {
        if (bounds.least == 1 && bounds.most == 1) {
            return "";
        }
        if (bounds.most < 0) {
            return "{" + std::to_string(bounds.least) + ",}";
        }
        return "{" + std::to_string(bounds.least) + "," + std::to_string(bounds.most) + "}";
    }

    std::optional<std::vector<CodeStart>> CodeStarts() const {
        if (!sequenceOnly_) {
            return std::nullopt;
        }
        std::vector<CodeStart> starts;
        for (const std::vector<SequencePiece>& pieces : alternatives_) {
            // A piece repeated at most zero times, or an empty alternative
            // (the text matches the empty text), is left to the tolerant form.
            if (pieces.empty() ||
                std::any_of(pieces.begin(), pieces.end(),
                            [](const SequencePiece& piece) { return piece.bounds.most == 0; })) {
                return std::nullopt;
            }
            AddCodeStarts(pieces, starts);
        }
        return starts;
    }

    std::string_view text_;
    bool regExp_;
    bool fold_;
    std::size_t at_ = 0;
    std::string exact_;
    std::string tolerant_;
    std::vector<Start> groups_;
    // Where the piece a repeat would apply to starts.
    std::optional<Start> last_;
    // The text's top-level alternatives as sequences of pieces, while it has
    // no group and no piece that takes a caret.
    bool sequenceOnly_ = true;
    std::vector<std::vector<SequencePiece>> alternatives_ = {{}};
};

} // namespace

std::optional<ScanPatterns> TranslateForScan(std::string_view text, bool regExp,
                                             bool caseSensitive) {
    if (text.empty()) {
        return std::nullopt;
    }
    return Translator(text, regExp, caseSensitive).Run();
}
