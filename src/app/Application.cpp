#include "app/Application.h"

#include "app/StartUp.h"

namespace corvela {

Application::Application(CVPrefs& store, const Bundle& bundle, FrontEnd frontEnd)
    : store(store),
      bundle(bundle),
      platform(frontEnd.platform),
      outputFormatDialog(outputFormats, options,
                         frontEnd.outputFormatDefinitionView ? *frontEnd.outputFormatDefinitionView
                                                             : noDefinitionWindow_),
      formatTransfer(formats, store, frontEnd.platform,
                     frontEnd.formatRenameView ? *frontEnd.formatRenameView : noRenameWindow_),
      errorWarning(frontEnd.platform, [this](const Value& format) { formats.addFormat(format); }),
      bank(store, options, instructions, categories, descriptions, qifReader, outputFormats,
           cancelConfirm, errorWarning, frontEnd.platform, frontEnd.confirmView,
           frontEnd.newInstructionView),
      controller(ControllerParts{
          .store = store,
          .options = options,
          .accounts = accounts,
          .categories = categories,
          .outputFormats = outputFormats,
          .qifReader = qifReader,
          .ofxReader = ofxReader,
          .bundle = bundle,
          .platform = frontEnd.platform,
          .view = frontEnd.mainView,
          .session = session,
          .bank = bankRun,
          .investment = notAvailable.investment,
          .text = textRun,
          .listImport = listImportPort,
          .inputFormats = inputFormatTools,
          .outputFormatDefinition = outputFormatDefinition,
          .errorWarning = errorWarning,
      }),
      editInstructions(
          store, options, instructions, categories, descriptions, qifReader, frontEnd.platform,
          bank.instructionMatches(),
          frontEnd.instructionListView ? *frontEnd.instructionListView : noInstructionWindows_,
          frontEnd.instructionEditView ? *frontEnd.instructionEditView : noInstructionWindows_) {
  if (frontEnd.instructionListView && frontEnd.instructionEditView)
    bank.setInstructionEditor(&editInstructions);
}

void Application::startUp() {
  corvela::startUp(StartUpParts{
      .store = store,
      .options = options,
      .platform = platform,
      .categories = categories,
      .descriptions = descriptions,
      .instructions = instructions,
      .outputFormats = outputFormats,
      .inputFormats = inputFormatTools,
  });
}

}  // namespace corvela
