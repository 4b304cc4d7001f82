#pragma once
// "page2": a tab page whose header plays "ani_in" while hovered and "ani_out" after.
#include "ui/STabPage.h"

class STabPage2 : public ui::STabPage {
    Q_OBJECT
    Q_CLASSINFO("kbClass", "page2")
public:
    explicit STabPage2(QWidget* parent = nullptr) : ui::STabPage(parent) {}
    bool SetAttribute(const QString& name, const QString& value) override;

    ui::SkinPtr aniIn;
    ui::SkinPtr aniOut;
    int32_t aniMode = 0;  // 0 idle, 1 playing aniIn, 2 playing aniOut
    int32_t aniFrame = 0;
    int32_t aniCountdown = 0;  // ms before the next frame
};
