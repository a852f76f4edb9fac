// The clipboard as the program uses it: clear it, put plain text or a picture on it.
#pragma once

#include <QImage>
#include <QString>

namespace quarvel {

class Clipboard {
 public:
  virtual ~Clipboard() = default;
  virtual void clear() = 0;
  virtual void set_text(const QString& text) = 0;
  virtual void set_picture(const QImage& picture) = 0;
};

// The system clipboard.
class SystemClipboard : public Clipboard {
 public:
  void clear() override;
  void set_text(const QString& text) override;
  void set_picture(const QImage& picture) override;
};

}  // namespace quarvel
