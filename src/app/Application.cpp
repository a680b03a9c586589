#include "app/Application.h"

#include "app/StartUp.h"
#include "formats/InputFormatKeys.h"

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
      investment(InvestmentQIF::Parts{
          .store = store,
          .options = options,
          .bundle = bundle,
          .dateTables = dateTables,
          .errorWarning = errorWarning,
          .securities = securities,
          .instructions = instructions,
          .outputFormats = outputFormats,
          .cancelConfirm = cancelConfirm,
          .platform = frontEnd.platform,
          .bank = bank,
          .view = frontEnd.investmentView ? *frontEnd.investmentView : noInvestmentWindow_,
          .saveFormat =
              [this](const Value& format) {
                if (format.contains(inputFormatKey::OFX))
                  this->store.setObject(inputFormatStoreKey::OFXFormat, format);
                else
                  formats.addFormat(format);
              },
          .findFormat = [this](std::string_view name, bool ofx) -> std::optional<Value> {
            if (ofx) {
              const Value& stored = this->store.objectForKey(inputFormatStoreKey::OFXFormat);
              if (stored.isNull()) return std::nullopt;
              return stored;
            }
            return formats.formatForName(name);
          }}),
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
          .investment = frontEnd.investmentView
                            ? static_cast<InvestmentRun&>(investmentRun)
                            : static_cast<InvestmentRun&>(notAvailable.investment),
          .text = textRun,
          .listImport = listImportPort,
          .inputFormats = inputFormatTools,
          .outputFormatDefinition = outputFormatDefinition,
          .errorWarning = errorWarning,
          .takeOutput = frontEnd.takeOutput,
          .inputRunsOnce = frontEnd.inputRunsOnce,
      }),
      editInstructions(
          store, options, instructions, categories, descriptions, qifReader, frontEnd.platform,
          bank.instructionMatches(),
          frontEnd.instructionListView ? *frontEnd.instructionListView : noInstructionWindows_,
          frontEnd.instructionEditView ? *frontEnd.instructionEditView : noInstructionWindows_) {
  if (frontEnd.instructionListView && frontEnd.instructionEditView) {
    bank.setInstructionEditor(&editInstructions);
    investment.setInstructionEditor(&editInstructions);
  }
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
