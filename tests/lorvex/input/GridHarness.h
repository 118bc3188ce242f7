#pragma once
// A grid placed on a shown container at run time, as the player places it, with its events recorded and helpers
// to fill it and to look at its window.
#include <gtest/gtest.h>
#include <QApplication>
#include <QTest>
#include <QWidget>

#include <functional>

#include <string>
#include <vector>

#include "lorvex/listview/ListView.h"
#include "lorvex/listview/ListViewWindow.h"
#include "platform/automation/DataObject.h"
#include "platform/automation/Events.h"
#include "tests/lorvex/listview/TestHost.h"

namespace lorvex::test {

using automation::InvokeKind;
using automation::PropertyBag;
using automation::Variant;

struct RaisedEvent {
    DispId id;
    std::vector<Variant> args;  // the values as the sinks saw them
};

class GridHarness {
public:
    // A grid of this outer size with a 12-pixel font.
    explicit GridHarness(int width = 300, int height = 200, PropertyBag bag = {}) {
        site.container.resize(width + 20, height + 20);
        view = ListView::Create();
        view->SetSite(&site);
        view->Widget()->setGeometry(0, 0, width, height);
        view->ReadProperties(bag);
        SetTextHeight(12);
        auto* container = static_cast<automation::ConnectionPointContainer*>(
            view->QueryInterface(automation::ConnectionPointContainer::IID));
        container->FindConnectionPoint(DIID_ListViewEvents)
            ->Advise(automation::MakeEventSink([this](DispId id, std::span<Variant> args) {
                RaisedEvent e{id, {}};
                for (Variant& a : args) e.args.push_back(a.Deref());
                events.push_back(std::move(e));
                if (onEvent) onEvent(id, args);
            }));
        site.container.show();
        QTest::qWait(0);
    }

    ControlWindow* Window() const { return view->Window()->Control(); }
    ListViewWindow& Side() const { return *view->Window(); }
    Scrollbars& Bars() const { return view->Window()->Bars(); }

    // The font size in points that gives this character height on the window's screen.
    void SetTextHeight(int pixels) {
        const int dpi = Window()->logicalDpiY();
        view->Font()->SetSize(pixels * 72.0 / dpi);
    }

    void AddColumn(const std::u16string& key, int width, std::int32_t align = TextAlignLeft, bool resizable = true,
                   bool visible = true, const std::u16string& caption = {}) {
        std::vector<Variant> args{Variant(key),
                                  Variant(caption.empty() ? key : caption),
                                  Variant(align),
                                  Variant(width),
                                  Variant::FromBool(resizable),
                                  Variant::FromBool(visible)};
        ASSERT_TRUE(view->Invoke(dispid::AddColumn, InvokeKind::Method, args, nullptr).Ok());
    }
    // Rows "r0", "r1", ... in column 0.
    void AddRows(int count) {
        for (int i = 0; i < count; ++i) {
            std::int32_t at = -1, added = 0;
            ASSERT_TRUE(view->AddItem(at, u"r" + Number(view->ItemCount()), -1, added).Ok());
        }
    }
    static std::u16string Number(int n) { return QString::number(n).toStdU16String(); }

    // Renders the window as the screen shows it.
    QImage Grab() const { return Window()->grab().toImage().convertToFormat(QImage::Format_RGB32); }
    QColor Pixel(const QImage& image, int x, int y) const { return image.pixelColor(x, y); }

    std::vector<RaisedEvent> Raised(DispId id) const {
        std::vector<RaisedEvent> found;
        for (const RaisedEvent& e : events)
            if (e.id == id) found.push_back(e);
        return found;
    }
    int Count(DispId id) const { return static_cast<int>(Raised(id).size()); }

    // Client y of the middle of a visible row.
    int RowY(int row) const {
        return Side().Layout().listTop + (row - Side().FirstRow()) * view->ItemHeight() + view->ItemHeight() / 2;
    }

    TestSite site;
    Ref<ListView> view;
    std::vector<RaisedEvent> events;
    std::function<void(DispId, std::span<Variant>)> onEvent;
};

}  // namespace lorvex::test
