#pragma once
// "page": one page of a tab control; its title and icon index show in the header.
#include "ui/SWindow.h"

namespace ui {

class STabPage : public SWindow {
    Q_OBJECT
    Q_CLASSINFO("kbClass", "page")
    Q_PROPERTY(QString title READ Title WRITE SetTitle)
public:
    explicit STabPage(QWidget* parent = nullptr) : SWindow(parent) {}
    bool SetAttribute(const QString& name, const QString& value) override;

    const QString& Title() const { return title_; }
    void SetTitle(const QString& title);
    // -1: the tab control uses the page's index as icon frame.
    int IconIndex() const { return iconIndex_; }
    void SetIconIndex(int index) { iconIndex_ = index; }

private:
    QString title_;
    int iconIndex_ = -1;
};

}  // namespace ui
