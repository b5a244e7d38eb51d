#include "window/qt/label_text.h"

#include <cmath>

namespace zbx::qt {
namespace {

constexpr int kPaddingBlanks = 3;

struct Token {
  QString text;
  bool blank;
};

QList<Token> Tokens(const QString& text) {
  QList<Token> tokens;
  for (qsizetype i = 0; i < text.size();) {
    const bool blank = text[i] == QLatin1Char(' ');
    qsizetype j = i;
    while (j < text.size() && (text[j] == QLatin1Char(' ')) == blank) ++j;
    tokens.push_back({text.mid(i, j - i), blank});
    i = j;
  }
  return tokens;
}

}  // namespace

QStringList WrapCaption(const QString& text, const QFontMetricsF& metrics, double width) {
  QStringList lines;
  QString line;
  double x = 0;
  const auto endLine = [&] {
    lines.push_back(line);
    line.clear();
    x = 0;
  };
  for (const Token& token : Tokens(text)) {
    const double w = metrics.horizontalAdvance(token.text);
    if (!token.blank) {
      if (x > 0 && x + w > width) endLine();
      line += token.text;
      x += w;
      continue;
    }
    if (x + w <= width && token.text.size() < kPaddingBlanks) {
      line += token.text;
      x += w;
      continue;
    }
    // Padding: the rest of this line, and an empty line for each further full line.
    const double beyond = x + w - width;
    endLine();
    for (long n = std::lround(std::max(0.0, beyond) / width); n > 0; --n) lines.push_back(QString());
  }
  if (!line.isEmpty()) lines.push_back(line);
  return lines;
}

}  // namespace zbx::qt
