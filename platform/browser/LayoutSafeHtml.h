#pragma once
// QTextBrowser lays a page out on the window thread, and its cost grows steeply with structure: each level of
// nested tables doubles it (14 levels take a tenth of a second, 60,000 never end), and a few thousand elements of
// any kind take more than that. A page is therefore reduced before it is shown: tables nested deeper than a few
// levels and elements nested deeper than a few dozen lose their tags (their text stays), and past a bounded number
// of elements or characters the rest of the page is left out. A page within the bounds is unchanged.
#include <QString>

namespace browser {

struct HtmlBounds {
    int maxTableDepth = 3;
    int maxCellCost = 500;  // a row or cell costs 1, twice as much inside a table cell, four times two levels down
    int maxDepth = 40;
    int maxElements = 1500;  // kept; the page is cut after twice as many tags, kept or not
    qsizetype maxChars = 20'000;
};

// The page reduced to the bounds; linear in its length, and meant to run off the window thread.
QString LayoutSafeHtml(const QString& html, const HtmlBounds& bounds = {});

}  // namespace browser
