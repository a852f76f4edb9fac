#include "ui/clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

namespace quarvel {

void SystemClipboard::clear() {
  QGuiApplication::clipboard()->clear();
}

void SystemClipboard::set_text(const QString& text) {
  QGuiApplication::clipboard()->setText(text);
}

void SystemClipboard::set_picture(const QImage& picture) {
  QGuiApplication::clipboard()->setImage(picture);
}

}  // namespace quarvel
