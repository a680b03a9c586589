#include "cli/Command.h"

namespace corvela::cli {

namespace {

// `text` with every line after the first indented by `indent`.
std::string indented(const std::string& text, const std::string& indent) {
  std::string out;
  for (char c : text) {
    out += c;
    if (c == '\n') out += indent;
  }
  return out;
}

// How far a form's continuation lines stand in, so that they begin under its first option.
std::size_t continuation(const std::string& form) { return form.find(' ') + 1; }

}  // namespace

std::string HelpFormatter::usage(const CLI::App* app) const {
  auto found = usage_.find(app);
  if (found == usage_.end()) return "";
  const std::string head = "usage: corvela-cli ";
  std::string out;
  for (const std::string& form : found->second) {
    out += (out.empty() ? head : "       corvela-cli ") +
           indented(form, std::string(head.size() + continuation(form), ' ')) + "\n";
  }
  return out;
}

std::string HelpFormatter::make_usage(const CLI::App* app, std::string name) const {
  std::string documented = usage(app);
  return documented.empty() ? CLI::Formatter::make_usage(app, std::move(name)) : documented;
}

std::string HelpFormatter::make_subcommand(const CLI::App* sub) const {
  auto found = usage_.find(sub);
  if (found == usage_.end()) return CLI::Formatter::make_subcommand(sub);
  std::string out;
  for (const std::string& form : found->second)
    out += "  " + indented(form, std::string(2 + continuation(form), ' ')) + "\n";
  return out + "      " + indented(sub->get_description(), "      ") + "\n";
}

CLI::App* addSubcommand(CLI::App& parent, HelpFormatter& help, const std::string& name,
                        const std::string& summary, std::vector<std::string> forms) {
  CLI::App* app = parent.add_subcommand(name, summary);
  help.setUsage(app, std::move(forms));
  return app;
}

}  // namespace corvela::cli
