#pragma once
// Popup menus as forms hold them: items with captions ("&" marks the access key, "-" is a separator), check marks
// and click handlers. An item is reached by the name of its command, and an item of an item array by that name
// and its index, so that adding an item to a menu never moves another's command.
#include <QMenu>
#include <QString>
#include <QStringView>
#include <functional>
#include <memory>
#include <vector>

namespace forms {

class MenuItem {
public:
    explicit MenuItem(QAction* action, QString name = {}, int index = kNotInArray)
        : action_(action), name_(std::move(name)), index_(index) {}
    static constexpr int kNotInArray = -1;
    // The command's name, which its handler is named after (mnuAddFile runs mnuAddFile_Click); empty for an item
    // no one looks up, such as a separator.
    const QString& Name() const { return name_; }
    // The place in its item array, or NotInArray.
    int Index() const { return index_; }
    QString Caption() const;
    void SetCaption(const QString& caption);
    bool Checked() const;
    void SetChecked(bool checked);
    bool Enabled() const;
    void SetEnabled(bool enabled);
    bool Visible() const;
    void SetVisible(bool visible);
    QAction* Action() const { return action_; }

    std::function<void()> Click;

private:
    QAction* action_;
    QString name_;
    int index_;
};

class Menu {
public:
    explicit Menu(const QString& caption = {});
    // Appends an item without a name; the caption "-" makes a separator.
    MenuItem& Add(const QString& caption);
    // Appends the item of the command `name`, or item `index` of the item array `name`. A name (and index) the
    // menu already has is a programming error: std::logic_error.
    MenuItem& Add(QStringView name, const QString& caption);
    MenuItem& Add(QStringView name, int index, const QString& caption);
    // The item of that name (and index); std::out_of_range when the menu has none.
    MenuItem& Item(QStringView name, int index = MenuItem::kNotInArray);
    std::size_t Count() const { return items_.size(); }
    // Shows the menu at a screen position (pixels) and returns once it has closed and the chosen item's handler ran.
    void Popup(const QPoint& globalPosition);
    QMenu* NativeMenu() { return menu_.get(); }

private:
    MenuItem* Find(QStringView name, int index);

    std::unique_ptr<QMenu> menu_;
    std::vector<std::unique_ptr<MenuItem>> items_;
};

}  // namespace forms
