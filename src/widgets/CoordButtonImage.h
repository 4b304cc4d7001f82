#pragma once
// "cbimg": the keyboard as a picture whose keys are hot areas read from a
// coordinate file ("positions", one child element per key). Draws key colours,
// the background picture, and the hover and checked looks cut out key by key;
// shows the key's label or name as tooltip; reports left-button presses and
// releases to one listener.
//
// Colour words are 0xTTRRGGBB: TT is transparency (0 = opaque), so the default
// 0x00FFFFFF is opaque white.
#include <QPixmap>
#include <QVector>

#include "ui/SWindow.h"
#include "widgets/CoordButton.h"
#include "widgets/ICoordButtonClickListener.h"

class CoordButtonImage : public ui::SWindow {
    Q_OBJECT
    Q_CLASSINFO("kbClass", "cbimg")
public:
    static constexpr int32_t kAllKeys = 0x7FFFFFFF;
    static constexpr uint32_t kDefaultColor = 0x00FFFFFF;

    explicit CoordButtonImage(QWidget* parent = nullptr);

    bool SetAttribute(const QString& name, const QString& value) override;
    // Loads the coordinate file named by crdxml (once, at creation).
    void OnCreate() override;

    void SetClickListener(ICoordButtonClickListener* listener) { listener_ = listener; }
    void SetKeyLabel(const QString& label, int32_t keyId);
    void SetKeyChecked(int32_t keyId, bool checked);
    void ToggleKeyChecked(int32_t keyId);
    bool GetKeyInfo(int32_t keyId, CoordButton* out = nullptr) const;

    const QVector<CoordButton>& Keys() const { return keys_; }
    int32_t Type() const { return type_; }
    const QString& CrdXml() const { return crdxml_; }
    const QString& TipText() const { return tip_; }

    // Folder the coordinate file is relative to. Defaults to the folder holding
    // the resource folder (the application folder).
    static void SetBaseFolder(const QString& folder);
    static QString BaseFolder();
    // folder + separator (unless crdxml starts with '\' or '/') + crdxml.
    static QString JoinPath(const QString& folder, const QString& crdxml);
    // Reads a coordinate file; false (and no keys) when it cannot be read or parsed.
    static bool LoadKeys(const QString& path, QVector<CoordButton>* keys);
    // Attribute readers of the file format.
    static uint32_t ParseColor(const QString& text);
    static void ParseRect(const QString& text, CoordButton* key);

protected:
    void paintEvent(QPaintEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    template <class F>
    void ForMatching(int32_t keyId, F&& f);
    void Report(CoordButton& key, int action, uint32_t flags, const QPoint& pt);
    void DrawCutOut(QPainter& p, const QPixmap& pm, const CoordButton& key);

    // The hover and marked pictures are decoded when first drawn: a window
    // nobody points at, or with no key marked, never pays for them.
    struct LazyImage {
        QString name;
        QPixmap pixmap;
        const QPixmap& Get();
    };
    QPixmap bg_;
    LazyImage chking_, chked_;
    QVector<CoordButton> keys_;
    uint32_t defaultColor_ = kDefaultColor;
    int32_t type_ = 0;
    QString crdxml_;
    QString tip_;
    ICoordButtonClickListener* listener_ = nullptr;
};
