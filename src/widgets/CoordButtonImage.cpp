#include "widgets/CoordButtonImage.h"

#include <utility>

#include <QDir>
#include <QFileInfo>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <cstdio>
#include <pugixml.hpp>

#include "ui/UiApp.h"

namespace {
QString& BaseFolderRef() {
    static QString folder;
    return folder;
}

QColor ToQColor(uint32_t word) {
    const int transparency = int((word >> 24) & 0xFF);
    return QColor(int((word >> 16) & 0xFF), int((word >> 8) & 0xFF), int(word & 0xFF), 255 - transparency);
}
}  // namespace

CoordButtonImage::CoordButtonImage(QWidget* parent) : ui::SWindow(parent) { setMouseTracking(true); }

void CoordButtonImage::SetBaseFolder(const QString& folder) { BaseFolderRef() = folder; }

QString CoordButtonImage::BaseFolder() {
    if (!BaseFolderRef().isEmpty()) return BaseFolderRef();
    if (ui::UiApp* app = ui::UiApp::Current()) return QFileInfo(app->Provider().Root()).absolutePath();
    return QDir::currentPath();
}

QString CoordButtonImage::JoinPath(const QString& folder, const QString& crdxml) {
    QString path = folder;
    if (!crdxml.startsWith(u'\\') && !crdxml.startsWith(u'/')) path += u'/';
    path += crdxml;
    path.replace(u'\\', u'/');
    return path;
}

uint32_t CoordButtonImage::ParseColor(const QString& text) {
    QString t = text;
    t.remove(u' ').remove(u'#');
    unsigned int v = 0;
    if (t.isEmpty() || std::sscanf(t.toUtf8().constData(), "%x", &v) != 1) return kDefaultColor;
    return v;
}

void CoordButtonImage::ParseRect(const QString& text, CoordButton* key) {
    QString t = text;
    t.remove(u' ');
    int x = 0, y = 0, w = 0, h = 0;
    if (!t.isEmpty()) std::sscanf(t.toUtf8().constData(), "%d,%d,%d,%d", &x, &y, &w, &h);
    key->left = x;
    key->top = y;
    key->right = x + w;
    key->bottom = y + h;
}

bool CoordButtonImage::LoadKeys(const QString& path, QVector<CoordButton>* keys) {
    keys->clear();
    pugi::xml_document doc;
    if (!doc.load_file(QFile::encodeName(path).constData())) return false;  // encoding detected from content
    pugi::xml_node positions = doc.child("positions");
    if (!positions) return false;
    for (pugi::xml_node n = positions.first_child(); n; n = n.next_sibling()) {
        if (n.type() != pugi::node_element) continue;
        CoordButton k;
        k.id = n.attribute("id") ? n.attribute("id").as_int() : -1;
        k.va = n.attribute("va") ? n.attribute("va").as_int() : -1;
        k.name = QString::fromUtf8(n.attribute("name").value());
        k.color = ParseColor(QString::fromUtf8(n.attribute("color").value()));
        ParseRect(QString::fromUtf8(n.attribute("rect").value()), &k);
        keys->push_back(k);
    }
    return true;
}

bool CoordButtonImage::SetAttribute(const QString& name, const QString& value) {
    // An image name that names no image leaves the picture without it.
    if (name == u"bg")
        bg_ = ui::UiApp::FindImage(value);
    else if (name == u"chking")
        chking_ = LazyImage{value, {}};
    else if (name == u"chked")
        chked_ = LazyImage{value, {}};
    else if (name == u"crdxml")
        crdxml_ = value;
    else if (name == u"type")
        type_ = ui::ParseInt(value);
    else
        return ui::SWindow::SetAttribute(name, value);
    update();
    return true;
}

void CoordButtonImage::OnCreate() {
    keys_.clear();
    if (crdxml_.isEmpty()) return;
    LoadKeys(JoinPath(BaseFolder(), crdxml_), &keys_);
    update();
}

template <class F>
void CoordButtonImage::ForMatching(int32_t keyId, F&& f) {
    for (CoordButton& k : keys_) {
        if (keyId == kAllKeys) {
            f(k);
        } else if (k.id == keyId) {
            f(k);
            break;
        }
    }
    update();
}

void CoordButtonImage::SetKeyLabel(const QString& label, int32_t keyId) {
    ForMatching(keyId, [&](CoordButton& k) { k.label = label; });
}

void CoordButtonImage::SetKeyChecked(int32_t keyId, bool checked) {
    ForMatching(keyId, [&](CoordButton& k) { k.checked = checked ? 1 : 0; });
}

void CoordButtonImage::ToggleKeyChecked(int32_t keyId) {
    ForMatching(keyId, [](CoordButton& k) { k.checked = k.checked ? 0 : 1; });
}

bool CoordButtonImage::GetKeyInfo(int32_t keyId, CoordButton* out) const {
    for (const CoordButton& k : keys_)
        if (k.id == keyId) {
            if (out) *out = k;
            return true;
        }
    return false;
}

void CoordButtonImage::DrawCutOut(QPainter& p, const QPixmap& pm, const CoordButton& key) {
    const qreal dpr = pm.devicePixelRatio();
    const QRect target = key.Rect();
    const QRectF source(target.x() * dpr, target.y() * dpr, target.width() * dpr, target.height() * dpr);
    p.drawPixmap(QRectF(target), pm, source);
}

void CoordButtonImage::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    for (const CoordButton& k : keys_) p.fillRect(k.Rect(), ToQColor(k.color));
    if (!bg_.isNull()) p.drawPixmap(rect(), bg_);
    for (const CoordButton& k : keys_)
        if (k.hover && !chking_.Get().isNull()) DrawCutOut(p, chking_.Get(), k);
    for (const CoordButton& k : keys_)
        if (k.checked && !chked_.Get().isNull()) DrawCutOut(p, chked_.Get(), k);
}

const QPixmap& CoordButtonImage::LazyImage::Get() {
    if (!name.isEmpty()) pixmap = ui::UiApp::FindImage(std::exchange(name, QString()));
    return pixmap;
}

void CoordButtonImage::mouseMoveEvent(QMouseEvent* e) {
    const QPoint pt = e->position().toPoint();
    const CoordButton* last = nullptr;
    for (CoordButton& k : keys_) {
        k.hover = k.Contains(pt.x(), pt.y()) ? 1 : 0;
        if (k.hover) last = &k;
    }
    const QString tip = !last ? QString() : last->label.isEmpty() ? last->name : last->label;
    if (tip != tip_ && QToolTip::isVisible()) {
        // A tip already showing follows the mouse from key to key.
        if (tip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(e->globalPosition().toPoint(), tip, this);
    }
    tip_ = tip;
    setToolTip(tip_);
    update();
    ui::SWindow::mouseMoveEvent(e);
}

void CoordButtonImage::leaveEvent(QEvent* e) {
    for (CoordButton& k : keys_) k.hover = 0;
    tip_.clear();
    setToolTip(tip_);
    update();
    ui::SWindow::leaveEvent(e);
}

void CoordButtonImage::Report(CoordButton& key, int action, uint32_t flags, const QPoint& pt) {
    const int32_t id = key.id;
    bool handled = false;
    if (listener_) handled = listener_->OnCoordButtonClick(id, key.name, action, flags, pt.x(), pt.y());
    if (!handled && action == 0) {
        if (type_ == 1) {
            for (CoordButton& k : keys_) k.checked = 0;
            update();
            ToggleKeyChecked(id);
        } else if (type_ == 2) {
            ToggleKeyChecked(id);
        }
    }
    update();
}

void CoordButtonImage::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return ui::SWindow::mousePressEvent(e);
    const QPoint pt = e->position().toPoint();
    for (int i = 0; i < keys_.size(); ++i) {
        if (!keys_[i].Contains(pt.x(), pt.y())) continue;
        const uint32_t flags = uint32_t(e->buttons()) | uint32_t(e->modifiers());
        Report(keys_[i], 0, flags, pt);
        // The listener may have run a modal dialog; the key list itself never changes.
        keys_[i].pressed = 1;
        update();
        return;
    }
}

void CoordButtonImage::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return ui::SWindow::mouseReleaseEvent(e);
    const QPoint pt = e->position().toPoint();
    for (int i = 0; i < keys_.size(); ++i) {
        if (!keys_[i].Contains(pt.x(), pt.y())) continue;
        if (keys_[i].pressed) Report(keys_[i], 1, uint32_t(e->buttons()) | uint32_t(e->modifiers()), pt);
        keys_[i].pressed = 0;
        update();
        return;
    }
}
