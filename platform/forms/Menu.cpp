#include "platform/forms/Menu.h"

#include <stdexcept>
#include <string>

namespace forms {

namespace {
// How an error names an item: "mnuAddFile", or "mnuPlayMode(3)" in an item array.
std::string ItemText(QStringView name, int index) {
    std::string text = name.toString().toStdString();
    if (index != MenuItem::kNotInArray) text += "(" + std::to_string(index) + ")";
    return text;
}
}  // namespace

QString MenuItem::Caption() const { return action_->isSeparator() ? QStringLiteral("-") : action_->text(); }
void MenuItem::SetCaption(const QString& caption) {
    const bool separator = caption == QLatin1String("-");
    action_->setSeparator(separator);
    // A separator with a text is drawn as a titled section by some styles.
    action_->setText(separator ? QString() : caption);
}
bool MenuItem::Checked() const { return action_->isChecked(); }
void MenuItem::SetChecked(bool checked) {
    // Only a checked item is checkable: styles draw an empty box beside every checkable item, and an unchecked
    // item shows no mark at all.
    action_->setCheckable(checked);
    action_->setChecked(checked);
}
bool MenuItem::Enabled() const { return action_->isEnabled(); }
void MenuItem::SetEnabled(bool enabled) { action_->setEnabled(enabled); }
bool MenuItem::Visible() const { return action_->isVisible(); }
void MenuItem::SetVisible(bool visible) { action_->setVisible(visible); }

Menu::Menu(const QString& caption) : menu_(std::make_unique<QMenu>(caption)) {}

MenuItem& Menu::Add(const QString& caption) { return Add(QStringView(), MenuItem::kNotInArray, caption); }

MenuItem& Menu::Add(QStringView name, const QString& caption) { return Add(name, MenuItem::kNotInArray, caption); }

MenuItem& Menu::Add(QStringView name, int index, const QString& caption) {
    if (Find(name, index)) throw std::logic_error("menu item added twice: " + ItemText(name, index));
    QAction* action = menu_->addAction(caption);
    auto item = std::make_unique<MenuItem>(action, name.toString(), index);
    item->SetCaption(caption);
    MenuItem* raw = item.get();
    QObject::connect(action, &QAction::triggered, [raw, action](bool checked) {
        // Check marks belong to the handlers: undo the toggle the click itself made.
        if (action->isCheckable()) action->setChecked(!checked);
        if (raw->Click) raw->Click();
    });
    items_.push_back(std::move(item));
    return *raw;
}

MenuItem* Menu::Find(QStringView name, int index) {
    if (name.isEmpty()) return nullptr;  // separators and other unnamed items are never looked up
    for (const auto& item : items_)
        if (item->Name() == name && item->Index() == index) return item.get();
    return nullptr;
}

MenuItem& Menu::Item(QStringView name, int index) {
    if (MenuItem* item = Find(name, index)) return *item;
    throw std::out_of_range("no menu item " + ItemText(name, index));
}

void Menu::Popup(const QPoint& globalPosition) { menu_->exec(globalPosition); }

}  // namespace forms
