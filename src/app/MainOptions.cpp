#include "app/MainOptions.h"

namespace vela {

bool IsTestSwitch(const QString& Parameter) { return Parameter.toUpper() == QLatin1String("/TEST"); }

std::optional<TMainWindowOptions> ParseMainOptions(const QStringList& Arguments, QString* Error) {
  TMainWindowOptions options;
  auto fail = [&](const QString& Reason) -> std::optional<TMainWindowOptions> {
    if (Error) *Error = Reason;
    return std::nullopt;
  };
  // "--name value" or "--name=value"; false when Arguments[i] is not that option.
  auto take = [&](qsizetype& i, const QString& Name, QString& Value, bool& Missing) {
    const QString& arg = Arguments[i];
    if (arg.startsWith(Name + QLatin1Char('='))) {
      Value = arg.mid(Name.size() + 1);
      Missing = Value.trimmed().isEmpty();
      return true;
    }
    if (arg != Name) return false;
    Missing = i + 1 >= Arguments.size() || Arguments[i + 1].trimmed().isEmpty();
    if (!Missing) Value = Arguments[++i];
    return true;
  };
  for (qsizetype i = 0; i < Arguments.size(); ++i) {
    if (IsTestSwitch(Arguments[i])) {
      options.CreateDummy = true;
      continue;
    }
    bool missing = false;
    QString value;
    if (take(i, QStringLiteral("--interface"), value, missing)) {
      if (missing) return fail(QStringLiteral("--interface needs an IPv4 address or an interface name"));
      options.Net.Interface = value.trimmed();
    } else if (take(i, QStringLiteral("--boxes-file"), value, missing)) {
      if (missing) return fail(QStringLiteral("--boxes-file needs a file name"));
      options.PredefinedFile = value;
    } else if (take(i, QStringLiteral("--screenshot"), value, missing)) {
      if (missing) return fail(QStringLiteral("--screenshot needs an image file name"));
      options.ScreenshotFile = value;
    }
  }
  return options;
}

QString MainOptionsUsage() {
  return QStringLiteral(
      "Usage: VelaDeviceBrowser [/TEST] [--interface ADDR|NAME] [--boxes-file FILE] [--screenshot FILE]\n"
      "  /TEST                   show two dummy boxes from the start\n"
      "  --interface ADDR|NAME   find boxes through this network interface only\n"
      "                          (an IPv4 address of it, or its name such as eth1 or lo)\n"
      "  --boxes-file FILE       the file of hand-entered WAN boxes\n"
      "                          (default: VelaBoxes.def beside the program)\n"
      "  --screenshot FILE       save the window to FILE (PNG) after 4 seconds and quit\n");
}

}  // namespace vela
