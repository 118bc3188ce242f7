// What a page costs the window thread once reduced: setting it into the web view and laying it out, for hostile
// pages of the largest size fetched, each built to make the text view's layout as slow as its shape can. Every
// case should stay well under 100 ms; the reduction itself (off the window thread) is measured beside it.
#include <benchmark/benchmark.h>

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <functional>

#include "platform/browser/LayoutSafeHtml.h"
#include "platform/browser/PageLoader.h"
#include "platform/browser/WebBrowser.h"

namespace {

// `open` repeated, then `close` as often, to the page size limit.
QString Nested(const QString& open, const QString& close = {}) {
    const qsizetype limit = browser::PageLimits{}.maxBytes;
    const qsizetype count = limit / (open.size() + close.size());
    return open.repeated(count) + close.repeated(count);
}

const struct Shape {
    const char* name;
    std::function<QString()> page;
} kShapes[] = {
    {"tables nested, unclosed", [] { return Nested("<table><tr><td>x"); }},
    {"tables nested, two cells", [] { return Nested("<table><tr><td>x</td><td>y", "</td></tr></table>"); }},
    {"tables nested three deep, full of cells",
     [] {
         return Nested("<table><tr><td><table><tr><td><table>" +
                       QString("<tr><td>a</td><td>b</td></tr>").repeated(4000));
     }},
    {"one table of rows", [] { return "<table>" + Nested("<tr><td>cell</td><td>cell</td></tr>"); }},
    {"cells of long text in a table in a table",
     [] {
         return "<table><tr><td><table>" + Nested("<tr><td>" + QString("lorem ipsum ").repeated(40) + "</td></tr>");
     }},
    {"list items", [] { return "<ul>" + Nested("<li>item"); }},
    {"lists nested", [] { return Nested("<ul><li>x", "</li></ul>"); }},
    {"quotes nested", [] { return Nested("<blockquote>x", "</blockquote>"); }},
    {"bold and italic nested", [] { return Nested("<b><i>x", "</i></b>"); }},
    {"paragraphs", [] { return Nested("<p>hello world, hello portal</p>"); }},
    {"text", [] { return Nested("hello world "); }},
    {"line breaks", [] { return Nested("x<br>"); }},
};

void BM_SetAndLayOut(benchmark::State& state) {
    const Shape& shape = kShapes[state.range(0)];
    state.SetLabel(shape.name);
    const QString page = browser::LayoutSafeHtml(shape.page());
    browser::WebBrowser view;
    view.resize(300, 420);  // the portal window's browser
    view.show();
    QApplication::processEvents();
    for (auto _ : state) {
        view.setHtml(page);
        benchmark::DoNotOptimize(view.document()->documentLayout()->documentSize());
        view.viewport()->repaint();
        QApplication::processEvents();
    }
}
BENCHMARK(BM_SetAndLayOut)->DenseRange(0, std::size(kShapes) - 1)->Unit(benchmark::kMillisecond);

void BM_Reduce(benchmark::State& state) {
    const Shape& shape = kShapes[state.range(0)];
    state.SetLabel(shape.name);
    const QString page = shape.page();
    for (auto _ : state) benchmark::DoNotOptimize(browser::LayoutSafeHtml(page));
}
BENCHMARK(BM_Reduce)->DenseRange(0, std::size(kShapes) - 1)->Unit(benchmark::kMillisecond);

}  // namespace
