#pragma once
// A window of the program: frameless, placed and measured in twips, with load, resize and unload hooks, an optional
// region, and its own move loop for dragging it by a control.
#include <QRegion>
#include <QWidget>
#include <functional>

namespace forms {

class Form : public QWidget {
    Q_OBJECT
public:
    explicit Form(const QString& caption, QWidget* owner = nullptr, Qt::WindowFlags extraFlags = {});

    double Left() const;
    double Top() const;
    double Width() const;
    double Height() const;
    void SetLeft(double twips) { Move(twips, Top()); }
    void SetTop(double twips) { Move(Left(), twips); }
    void Move(double left, double top);
    void Move(double left, double top, double width, double height);
    void Resize(double width, double height);

    // Shows the window, running Form_Load first when it is not loaded yet.
    void Show();
    // Shows the window and returns when it has been hidden again; other windows take no input meanwhile.
    void ShowModal(QWidget* owner);
    void Hide() { hide(); }
    // Loads the window without showing it (Form_Load runs once).
    void Load();
    bool Loaded() const { return loaded_; }
    // Runs Form_Unload and hides the window; the window can be loaded again later. Asked while Form_Load still
    // runs (it lets events in while a list loads), the unload follows as soon as the load is over.
    void Unload();
    // Makes the window belong to `owner`: it stays above it and shares its taskbar entry.
    void SetOwner(QWidget* owner);
    // Leaves the window out of the taskbar and the pager (tool windows of the program's main window).
    void SetOffTaskbar(bool off) { offTaskbar_ = off; }

    void SetRegion(const QRegion& pixels);
    void SetTopMost(bool topMost);

    // The move loop: the pointer is grabbed until the left button is released and the window follows it.
    // Returns after the release, with the window at its new place.
    void RunMoveLoop();

protected:
    virtual void Form_Load() {}
    virtual void Form_Resize() {}
    virtual void Form_Unload() {}

    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool loaded_ = false;
    bool loading_ = false;
    bool unloading_ = false;
    bool unloadAsked_ = false;  // an unload arrived while loading
    bool offTaskbar_ = false;
    bool moving_ = false;
    QPoint grabOffset_;
    std::function<void()> endMove_;
};

}  // namespace forms
