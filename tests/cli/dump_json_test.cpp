// velk dump streams its JSON; what it prints must stay byte for byte what QJsonDocument prints
// for the whole document built as one tree.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>

#include "cli/document_json.h"
#include "model/reader.h"
#include "support/temp_dir.h"
#include "velk_run.h"

namespace {

template <typename Items, typename MakeJson> QJsonArray ListJson(const Items &items, MakeJson makeJson)
{
  QJsonArray array;
  for (const auto &item : items)
    array.append(makeJson(*item));
  return array;
}

// The document as one tree of JSON values, printed whole.
QByteArray TreeJson(const std::string &path)
{
  TZeltoActor owner(nullptr, MainActorCode);
  const std::unique_ptr<TZeltoAni> ani = ReadAnimation(&owner, path);
  if (!ani)
    return {};
  QJsonObject document = DocumentFieldsJson(*ani);
  document["Sprites"] = ListJson(ani->Sprites, SpriteJson);
  document["Steps"] = ListJson(ani->Steps, StepJson);
  document["Actors"] = ListJson(ani->Actors, ActorJson);
  return QJsonDocument(document).toJson(QJsonDocument::Indented);
}

// Every byte a document's text can hold: quotes, backslashes, control and high Latin-1 bytes.
std::string AllBytes()
{
  std::string bytes;
  for (int c = 0; c < 256; ++c)
    if (c != '\n' && c != '\r')
      bytes += char(c);
  return bytes;
}

TEST(DumpJson, StreamedOutputEqualsTheWholeTree)
{
  TempDir dir;
  const std::string assets = std::string(ZELTRIX_SOURCE_DIR) + "/assets/game/";
  const std::string odd = dir.Write(
      "odd.velk", "VELK0001\r\nSPRITE 0 Q\"uo\\te\xe9 -3 -4 24 16 say \"hi\" \\ \xff\xa0\x01tab\there\r\n"
                  "SPRITE 1 SPRITES 0 0 -24 16\r\nATTACHSPRITE 0 1 -5 -6\r\n"
                  "COLOREFFECT 0 0.1 1e-7 -2.5 123456789.125\r\nZOOMEFFECT 1 0.3333333333333333\r\n"
                  "BACKCOLOR #FFFFFF\r\nSETBACKTO back\\slash\r\nDEFAULTPARAM1 \xe4\"\xf6\r\n"
                  "DEFAULTATTR9 \x7f/\x1f\r\nSCRIPT\r\n" +
                      AllBytes() +
                      "\r\nSCRIPTEND\r\nANI\r\n0 -7 -8, 1 0 0\r\nPARAM9 0 0\r\nATTR3 1 1, PARAM2 -1 -1\r\n"
                      "0 2147483647 -2147483648\r\nWAIT 2\r\nPLAYSOUND sn\"d\xfc.wav -1.5 0.25\r\nANIEND\r\n");
  const std::string movie = dir.Write(
      "movie.velk", "VELK0002\r\nFRAMES 40\r\nMOVIE\r\n  ACTOR SPRITE st\xe5r\r\n"
                    "    FRAME 0 dx=-3,dy=0,visible=true,text=\"q\\\" \xa9\r\n    FRAME 10 ,\r\n  ACTOREND\r\n"
                    "  ACTOR CHAR hero\r\n  ACTOREND\r\nMOVIEEND\r\n");
  for (const std::string &path : {assets + "idle.velk", assets + "walk.velk", odd, movie}) {
    const QByteArray expected = TreeJson(path);
    ASSERT_FALSE(expected.isEmpty()) << path;
    const VelkResult result = RunVelk({"dump", Q(path)});
    ASSERT_EQ(result.Code, 0) << result.Err.toStdString();
    EXPECT_EQ(result.Out, expected) << path;
  }
}

} // namespace
