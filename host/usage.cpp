#include "usage.h"

#include "command_table.h"

namespace {

constexpr std::size_t exportColumn = 40;

std::string Synopsis(const CommandForm& form) {
    std::string synopsis = form.name;
    for (const ArgumentForm& argument : form.arguments) synopsis += std::string(" ") + argument.name;
    if (form.takesClipboardInput) synopsis += " [--clipboard TEXT | --clipboard-stdin]";
    return synopsis;
}

std::string CommandLines() {
    std::string lines;
    for (const CommandForm& form : CommandTable()) {
        std::string line = "  " + Synopsis(form);
        if (line.size() >= exportColumn) line += '\n' + std::string(exportColumn, ' ');
        else line.append(exportColumn - line.size(), ' ');
        lines += line + form.exportName + '\n';
    }
    return lines;
}

}  // namespace

std::string UsageText() {
    return "usage: nolvhost [--bytes] COMMAND [ARGUMENT...] [COMMAND [ARGUMENT...]]...\n"
           "       nolvhost [--bytes] -    (the commands come from standard input)\n"
           "       nolvhost doctor [--library PATH]\n"
           "       nolvhost surrogate on|off\n"
           "       nolvhost --help\n"
           "\n"
           "Loads Nolv_Lib_Wrapper.dll from this program's directory and makes the\n"
           "calls in order, all in this one process: a component one command loads\n"
           "stays loaded for the next.\n"
           "\n"
           "Commands, and the function of the library each calls:\n" +
           CommandLines() +
           "\n"
           "Arguments:\n"
           "  TEXT, FILE          passed in the ANSI code page: from the command line,\n"
           "                      converted to it as a host converts its UTF-16 text;\n"
           "                      in a script, its bytes as they are. The word --null\n"
           "                      passes a null pointer instead\n"
           "  INT1, INT2, LIMIT   a decimal integer, -2147483648 to 2147483647\n"
           "  COMPONENTS          isolate: which components run each in a process of its\n"
           "                      own from their next load: 0 neither, 1 Nolv, 2 Sivat,\n"
           "                      3 both\n"
           "  LIMIT-MS            isolate: each call's time limit in milliseconds, after\n"
           "                      which the component's process is ended; 0 for none\n"
           "  SIZE                the size of the buffer the call fills, in bytes\n"
           "                      (in UTF-16 units for the -w/-bufw commands); 0\n"
           "                      passes a null buffer; at most 67108864\n"
           "  The -w and -bufw commands pass their texts in UTF-16: from the command\n"
           "  line as typed, from a script read as UTF-8, so that either can give any\n"
           "  character.\n"
           "  --clipboard TEXT    puts TEXT on the clipboard as CF_TEXT before the\n"
           "                      call (--clipboard --null empties the clipboard)\n"
           "  --clipboard-stdin   the same with all of standard input, byte for byte\n"
           "\n"
           "Script (nolvhost -): one or more commands a line, split into words as a\n"
           "shell does: blanks separate; \"...\" and '...' quote; inside \"...\", \\\" and\n"
           "\\\\ stand for \" and \\; elsewhere \\ takes the next character as it is;\n"
           "# starts a comment. Texts are the script's bytes: in the ANSI code page,\n"
           "in UTF-8 for the -w and -bufw commands.\n"
           "--clipboard-stdin cannot be used in a script.\n"
           "\n"
           "Output (stdout, UTF-8), two lines a call and a third for a failure:\n"
           "  > COMMAND ARGUMENTS    the call: texts quoted, null for --null\n"
           "    KEY=VALUE ...        what it gave back:\n"
           "      result=N           the function's result (result=none: it has none)\n"
           "      first=N second=N   number-string(-buf, -bufw): its integers after\n"
           "                         the call\n"
           "      buffer=\"...\"       the -buf commands: the buffer's text after the\n"
           "                         call; buffer=none: no buffer\n"
           "      needed=N           the -buf commands: the size the whole text takes\n"
           "      clipboard=\"...\"    number-string, parts-list: the clipboard's\n"
           "                         CF_TEXT after the call; clipboard=none when it\n"
           "                         holds no text\n"
           "    failure=0xHHHHHHHH LINE\n"
           "                         when the library records that the call failed\n"
           "                         (Nolv_Lib_GetLastFailureW): the HRESULT and the\n"
           "                         library's one line of why, in the component's own\n"
           "                         words where it gave any; none after a call that\n"
           "                         did not fail\n"
           "  Quoted texts escape \" and \\ with \\, and are written as they read: an\n"
           "  ANSI text in the ANSI code page, a W text from UTF-16. A byte that is no\n"
           "  character of the code page, or a control character, is written \\xHH;\n"
           "  in a W text, a control character or a lone surrogate is \\uHHHH.\n"
           "  --bytes, before the commands: every byte outside printable ASCII as\n"
           "  \\xHH (a W text's as its UTF-8 bytes), and the failure LINE quoted so\n"
           "  too: what a function took and gave, byte for byte.\n"
           "\n"
           "Exit status: 0 every command run, whatever the functions returned;\n"
           "1 the clipboard could not be opened or set; 2 wrong invocation;\n"
           "3 Nolv_Lib_Wrapper.dll or one of its functions is missing.\n"
           "\n"
           "nolvhost doctor checks what the library needs, seen from a process of\n"
           "this program's bitness (run the 32-bit nolvhost for a 32-bit host):\n"
           "  the library   found beside nolvhost (or at PATH), built for this\n"
           "                process's architecture, its functions, its version\n"
           "  NOLV_Lib.NOLVComClass, FendrelLib.SivatComClass:\n"
           "                registered for this process's bitness and the other's;\n"
           "                CLSID; InprocServer32 file, present, its architecture;\n"
           "                ThreadingModel; CoCreateInstance's HRESULT; IDispatch;\n"
           "                each method the library calls, by GetIDsOfNames;\n"
           "                loaded through the library (LoadNolvSys, LoadSivatSys),\n"
           "                and when that does not return 1, the library's reason\n"
           "  the clipboard can be opened now; if not, the window and the process\n"
           "                (id and image name) that hold it\n"
           "One line a check: ok, FAIL or skip (an earlier failure makes it\n"
           "pointless), the subject and what was found; under a failure its cause\n"
           "and what to do. Exit status: 0 every check passed, 1 one or more failed,\n"
           "2 wrong invocation.\n"
           "\n"
           "nolvhost surrogate on sets up the system's DLL surrogate for the two\n"
           "components where they are registered for 32-bit processes: a 64-bit host's\n"
           "Nolv_Lib_Wrapper.dll then creates a 32-bit-only component in a 32-bit\n"
           "surrogate process (dllhost.exe). It writes HKEY_CLASSES_ROOT\\CLSID\\{...}\n"
           "value AppID (32-bit view) and HKEY_CLASSES_ROOT\\AppID\\{...} value\n"
           "DllSurrogate \"\" (both views), and prints each change; running it again\n"
           "changes nothing. nolvhost surrogate off removes them. Writing there needs an\n"
           "administrator. Exit status: 0 done, or nothing to do; 1 a component is not\n"
           "registered for 32-bit processes (on), or the registry refused a change;\n"
           "2 wrong invocation.\n";
}
