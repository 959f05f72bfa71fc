// velk dump FILE: the document as one JSON object whose keys are the model's field names.
// The object is printed exactly as QJsonDocument prints it whole, but its lists are made and
// written one element at a time: a whole tree of JSON values takes many times the memory of the
// document it describes.
#include <QJsonDocument>

#include "cli/command.h"
#include "cli/document_json.h"
#include "cli/open_animation.h"

namespace {

// Qt's indented form: four spaces per level of nesting.
QByteArray Indent(int depth)
{
  return QByteArray(depth * 4, ' ');
}

// Writes Qt's text of object as it appears at depth inside a larger document: every line after
// the first moved in by depth levels (a JSON string never holds a raw line break).
void WriteNested(TStandardOutput &out, const QJsonObject &object, int depth)
{
  const QByteArray text = QJsonDocument(object).toJson(QJsonDocument::Indented);
  const QByteArray indent = Indent(depth);
  const qsizetype last = text.size() - 1; // the document's final line break is left out
  qsizetype start = 0;
  for (qsizetype end; (end = text.indexOf('\n', start)) >= 0 && end < last; start = end + 1) {
    out.Write(text.constData() + start, static_cast<size_t>(end + 1 - start));
    out.Write(indent);
  }
  out.Write(text.constData() + start, static_cast<size_t>(last - start));
}

// Qt's text of one member of the top-level object, as it appears there.
QByteArray MemberJson(const QString &key, const QJsonValue &value)
{
  const QByteArray text = QJsonDocument(QJsonObject{{key, value}}).toJson(QJsonDocument::Indented);
  return text.mid(2, text.size() - 5); // without "{\n" and "\n}\n"
}

// The top-level member "key": [...] with each element made and written on its own. An empty
// list is printed as Qt prints it, on two lines.
template <typename Items, typename MakeJson>
void WriteList(TStandardOutput &out, const QString &key, const Items &items, MakeJson makeJson)
{
  out.Write(Indent(1) + '"' + key.toUtf8() + "\": [\n");
  for (size_t i = 0; i < items.size() && !out.Failed(); ++i) {
    out.Write(Indent(2));
    WriteNested(out, makeJson(*items[i]), 2);
    out.Write(QByteArray(i + 1 < items.size() ? ",\n" : "\n"));
  }
  out.Write(Indent(1) + ']');
}

// The members in the order QJsonObject keeps its keys: the lists are put in as placeholders only
// to find their places among the fields.
void WriteDocumentJson(TStandardOutput &out, const TZeltoAni &ani)
{
  QJsonObject members = DocumentFieldsJson(ani);
  for (const char *list : {"Actors", "Sprites", "Steps"})
    members.insert(QLatin1String(list), QJsonValue());
  out.Write(QByteArray("{\n"));
  for (auto member = members.constBegin(); member != members.constEnd() && !out.Failed(); ++member) {
    if (member != members.constBegin())
      out.Write(QByteArray(",\n"));
    const QString key = member.key();
    if (key == QLatin1String("Actors"))
      WriteList(out, key, ani.Actors, ActorJson);
    else if (key == QLatin1String("Sprites"))
      WriteList(out, key, ani.Sprites, SpriteJson);
    else if (key == QLatin1String("Steps"))
      WriteList(out, key, ani.Steps, StepJson);
    else
      out.Write(MemberJson(key, member.value()));
  }
  out.Write(QByteArray("\n}\n"));
}

} // namespace

int RunDump(const QStringList &args)
{
  QCommandLineParser parser;
  if (!ParseFileCommand(parser, args, "Reads FILE with the animation reader and prints it as JSON."))
    return ExitUsageError;
  LoadedAnimation loaded;
  if (!OpenFileArgument(parser, loaded))
    return ExitInputError;
  TStandardOutput out;
  WriteDocumentJson(out, *loaded.Ani);
  return out.Finish();
}
