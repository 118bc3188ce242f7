#include "platform/browser/LayoutSafeHtml.h"

#include <QStringView>
#include <vector>

namespace browser {
namespace {

constexpr qsizetype kMaxTagChars = 4096;
constexpr int kMaxRun = 32;

bool IsOneOf(QStringView name, std::initializer_list<const char*> names) {
    for (const char* n : names)
        if (name.compare(QLatin1String(n), Qt::CaseInsensitive) == 0) return true;
    return false;
}

// Elements that never hold others.
bool IsVoid(QStringView name) {
    return IsOneOf(name, {"br", "img", "hr", "meta", "link", "input", "col", "area", "base", "wbr", "param", "source",
                          "embed", "basefont", "frame", "keygen", "track"});
}

// Elements whose content is text to the end tag, never markup.
bool IsRawText(QStringView name) { return IsOneOf(name, {"script", "style", "textarea", "title", "xmp"}); }

bool IsTablePart(QStringView name) {
    return IsOneOf(name, {"tr", "td", "th", "thead", "tbody", "tfoot", "caption", "colgroup"});
}

struct Open {
    QString name;  // lower case
    bool kept;
};

// The open elements as the parser of the text view sees them, well enough to count depths: an element that the
// start of another implicitly ends (a cell by the next cell, an item by the next item) is ended here too.
class Reducer {
public:
    Reducer(const QString& html, const HtmlBounds& bounds) : html_(html), bounds_(bounds) { out_.reserve(html.size()); }

    QString Run() {
        qsizetype at = 0;
        while (at < html_.size() && !Full()) {
            const qsizetype tag = html_.indexOf(QLatin1Char('<'), at);
            const qsizetype textEnd = tag < 0 ? html_.size() : tag;
            AppendText(QStringView(html_).mid(at, textEnd - at));
            if (tag < 0 || Full()) break;
            at = Markup(tag);
        }
        for (auto it = open_.rbegin(); it != open_.rend(); ++it)
            if (it->kept) out_ += QStringLiteral("</") + it->name + QLatin1Char('>');
        return out_;
    }

private:
    // The page is cut at a bounded number of characters or of tags, those dropped included (else the text of
    // 60,000 dropped tables would run together).
    bool Full() const { return chars_ >= bounds_.maxChars || tags_ >= 2 * bounds_.maxElements; }

    // Text of the page. Laying out a word costs the square of its length, so a long run without a space gets an
    // invisible break opportunity (a zero-width space) every few characters, never inside a character reference.
    void AppendText(QStringView text) {
        text = text.first(std::min(text.size(), bounds_.maxChars - chars_));
        chars_ += text.size();
        for (const QChar c : text) {
            if (c.isSpace()) {
                run_ = 0;
            } else if (c == QLatin1Char('&')) {
                inReference_ = true;
            } else if (inReference_ && !c.isLetterOrNumber() && c != QLatin1Char('#')) {
                inReference_ = false;
            } else if (!inReference_ && ++run_ >= kMaxRun) {
                out_ += QChar(0x200B);
                run_ = 0;
            }
            out_ += c;
        }
    }

    // Text that is not laid out as words (a script, a style sheet): as it is.
    void AppendRaw(QStringView text) {
        text = text.first(std::min(text.size(), bounds_.maxChars - chars_));
        chars_ += text.size();
        out_ += text;
    }

    // Handles the markup at `at` (a '<'); returns where the text after it starts.
    qsizetype Markup(qsizetype at) {
        if (QStringView(html_).mid(at, 4) == QLatin1String("<!--")) {
            const qsizetype end = html_.indexOf(QLatin1String("-->"), at + 4);
            return end < 0 ? html_.size() : end + 3;  // comments are dropped
        }
        const bool closing = at + 1 < html_.size() && html_[at + 1] == QLatin1Char('/');
        qsizetype nameStart = at + (closing ? 2 : 1);
        qsizetype nameEnd = nameStart;
        while (nameEnd < html_.size() && (html_[nameEnd].isLetterOrNumber() || html_[nameEnd] == QLatin1Char('-')))
            ++nameEnd;
        const qsizetype end = TagEnd(nameEnd);
        if (nameEnd == nameStart || !html_[nameStart].isLetter()) {
            // "<!DOCTYPE", "<?xml", a lone "<": declarations go, a lone "<" is text.
            const QStringView start = QStringView(html_).mid(at, 2);
            if (start == QLatin1String("<!") || start == QLatin1String("<?")) return end;
            AppendRaw(u"&lt;");
            return at + 1;
        }
        ++tags_;
        run_ = 0;  // a tag may end a word (and may not, which only adds a break opportunity)
        const QString name = html_.mid(nameStart, nameEnd - nameStart).toLower();
        const QStringView tag = QStringView(html_).mid(at, end - at);
        if (tag.size() > kMaxTagChars) return end;  // attributes that long are no layout a page needs
        if (closing) {
            Close(name, tag);
            return end;
        }
        const bool kept = Opens(name);
        if (kept) Append(tag);
        if (IsRawText(name)) {
            const qsizetype close = html_.indexOf(QStringLiteral("</") + name, end, Qt::CaseInsensitive);
            const qsizetype rawEnd = close < 0 ? html_.size() : close;
            if (kept) AppendRaw(QStringView(html_).mid(end, rawEnd - end));
            return rawEnd;
        }
        return end;
    }

    // Past the '>' that ends a tag, skipping quoted attribute values.
    qsizetype TagEnd(qsizetype at) const {
        QChar quote;
        for (; at < html_.size(); ++at) {
            const QChar c = html_[at];
            if (!quote.isNull()) {
                if (c == quote) quote = QChar();
            } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
                quote = c;
            } else if (c == QLatin1Char('>')) {
                return at + 1;
            }
        }
        return html_.size();
    }

    void Append(QStringView tag) {
        out_ += tag;
        ++elements_;
    }

    // Whether the start tag of `name` is kept; notes it among the open elements. Past the depth bound nothing is
    // noted (so that every search of the open elements stays short): an end tag may then end an outer element of
    // the same name early, which changes the look of a page that deep, never its text.
    bool Opens(const QString& name) {
        EndImplied(name);
        int tables = 0;
        const Open* innerTable = nullptr;
        for (const Open& e : open_) {
            if (e.name != QLatin1String("table")) continue;
            innerTable = &e;
            if (e.kept) ++tables;
        }
        bool kept = elements_ < bounds_.maxElements;
        if (name == QLatin1String("table")) kept = kept && tables < bounds_.maxTableDepth;
        // A table's rows and cells are kept with the table, and each costs twice as much at each level deeper.
        if (IsTablePart(name)) kept = kept && innerTable && innerTable->kept;
        if (kept && IsOneOf(name, {"tr", "td", "th"})) {
            const int cost = 1 << (tables - 1);
            kept = cellCost_ + cost <= bounds_.maxCellCost;
            if (kept) cellCost_ += cost;
        }
        if (IsVoid(name)) return kept;
        if (static_cast<int>(open_.size()) >= bounds_.maxDepth) return false;
        open_.push_back({name, kept});
        return kept;
    }

    // The start of some elements ends an open one of the same kind (or a row ends the cells of the one before).
    void EndImplied(const QString& name) {
        static const std::initializer_list<const char*> kSelfEnding = {"p", "li", "dt", "dd", "option"};
        if (IsOneOf(name, kSelfEnding)) {
            if (!open_.empty() && open_.back().name == name) PopTo(open_.size() - 1);
            return;
        }
        const bool cell = name == QLatin1String("td") || name == QLatin1String("th");
        if (!cell && name != QLatin1String("tr") && !IsOneOf(name, {"thead", "tbody", "tfoot"})) return;
        // Within the innermost table: a cell ends the open cell, a row or section ends the open row and cell.
        for (qsizetype i = static_cast<qsizetype>(open_.size()) - 1; i >= 0; --i) {
            const QString& open = open_[i].name;
            if (open == QLatin1String("table")) return;
            if ((open == QLatin1String("td") || open == QLatin1String("th")) ||
                (!cell && open == QLatin1String("tr"))) {
                PopTo(i);
                return;
            }
        }
    }

    // Closes the elements from position `index` on, writing the end tags of those that were kept.
    void PopTo(std::size_t index) {
        while (open_.size() > index) {
            if (open_.back().kept) out_ += QStringLiteral("</") + open_.back().name + QLatin1Char('>');
            open_.pop_back();
        }
    }

    void Close(const QString& name, QStringView tag) {
        for (qsizetype i = static_cast<qsizetype>(open_.size()) - 1; i >= 0; --i) {
            if (open_[i].name != name) continue;
            const bool kept = open_[i].kept;
            PopTo(static_cast<std::size_t>(i) + 1);
            open_.pop_back();
            if (kept) out_ += tag;
            return;
        }
        // An end tag that ends nothing open is dropped.
    }

    const QString& html_;
    const HtmlBounds& bounds_;
    QString out_;
    std::vector<Open> open_;
    int elements_ = 0;  // kept
    int cellCost_ = 0;
    int tags_ = 0;  // seen
    qsizetype chars_ = 0;
    int run_ = 0;  // characters since the last space or break opportunity
    bool inReference_ = false;
};

}  // namespace

QString LayoutSafeHtml(const QString& html, const HtmlBounds& bounds) { return Reducer(html, bounds).Run(); }

}  // namespace browser
