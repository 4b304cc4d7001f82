#include "ui/LanguageTranslator.h"

#include <pugixml.hpp>

namespace ui {

bool LanguageTranslator::Load(const pugi::xml_node& language) {
    if (std::string_view(language.name()) != "language") return false;
    name_ = QString::fromUtf8(language.attribute("name").value());
    contexts_.clear();
    for (pugi::xml_node ctx : language.children("context")) {
        auto& messages = contexts_[QString::fromUtf8(ctx.attribute("name").value())];
        for (pugi::xml_node msg : ctx.children("message")) {
            const QString source = QString::fromUtf8(msg.child("source").text().get());
            const QString translation = QString::fromUtf8(msg.child("translation").text().get());
            if (!source.isEmpty() && !translation.isEmpty()) messages.insert(source, translation);
        }
    }
    return true;
}

bool LanguageTranslator::LoadXml(const QByteArray& xml) {
    pugi::xml_document doc;
    if (xml.isEmpty() || !doc.load_buffer(xml.constData(), size_t(xml.size()))) return false;
    return Load(doc.child("language"));
}

QString LanguageTranslator::Lookup(const QString& context, const QString& source) const {
    if (auto c = contexts_.find(context); c != contexts_.end())
        if (auto m = c->find(source); m != c->end()) return *m;
    if (!context.isEmpty())
        if (auto c = contexts_.find(QString()); c != contexts_.end())
            if (auto m = c->find(source); m != c->end()) return *m;
    return {};
}

QString LanguageTranslator::translate(const char* context, const char* sourceText, const char*, int) const {
    return Lookup(QString::fromUtf8(context), QString::fromUtf8(sourceText));
}

}  // namespace ui
