#pragma once
// Popup menus as forms hold them: items with captions ("&" marks the access key, "-" is a separator), check marks
// and click handlers; an item array is a run of items reached by index.
#include <QMenu>
#include <functional>
#include <memory>
#include <vector>

namespace forms {

class MenuItem {
public:
    explicit MenuItem(QAction* action) : action_(action) {}
    QString Caption() const;
    void SetCaption(const QString& caption);
    bool Checked() const;
    void SetChecked(bool checked);
    bool Enabled() const;
    void SetEnabled(bool enabled);
    bool Visible() const;
    void SetVisible(bool visible);
    QAction* action() const { return action_; }

    std::function<void()> Click;

private:
    QAction* action_;
};

class Menu {
public:
    explicit Menu(const QString& caption = {});
    // Appends an item; the caption "-" makes a separator.
    MenuItem& Add(const QString& caption);
    MenuItem& Item(std::size_t index) { return *items_.at(index); }
    std::size_t Count() const { return items_.size(); }
    // Shows the menu at a screen position (pixels) and returns once it has closed and the chosen item's handler ran.
    void Popup(const QPoint& globalPosition);
    QMenu* menu() { return menu_.get(); }

private:
    std::unique_ptr<QMenu> menu_;
    std::vector<std::unique_ptr<MenuItem>> items_;
};

}  // namespace forms
