// The prepared-report file of the store: the store's own XML document with
// four sections added, "report" (the report's display settings),
// "sourcepages" (every source page in full), "dictionary" (alias name ->
// "PageN.ObjectName") and "picturecache" (every picture as hexadecimal).
//
// Saving writes the document page by page: a packed page is unpacked into a
// scratch item for its write only, so saving builds no page objects and
// never holds more than one page's items.
//
// Loading reads everything aside first (a new document, new source pages, a
// new dictionary) and checks it; only when all of it is sound does the store
// let go of what it held. A broken or foreign file therefore leaves the
// store, and the preview showing it, as they were.
#include "rpPreviewPages.h"

#include "rpClass.h"
#include "rpXMLSerializer.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>

struct TrpPreviewPages::TLoadedReport {
    bool HasReport = false;
    bool DotMatrixReport = false;
    bool OutlineVisible = false;
    int OutlineWidth = 120;
    QString Name;
    std::vector<std::unique_ptr<TrpReportPage>> SourcePages;
    std::vector<QString> SourcePageTexts;
    TrpDictionary Dictionary;
};

namespace {

const TrpXMLItem* Section(const TrpXMLItem* Root, const QString& Name)
{
    const int i = Root->Find(Name);
    return i >= 0 ? Root->Items(i) : nullptr;
}

QString BoolText(bool Value)
{
    return Value ? QStringLiteral("1") : QStringLiteral("0");
}

bool TextBool(const QString& Text)
{
    return Text == QLatin1String("1") || Text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0;
}

bool IsHexPairs(QStringView Text)
{
    if (Text.size() % 2 != 0)
        return false;
    for (QChar c : Text) {
        const char16_t u = c.unicode();
        if (!((u >= '0' && u <= '9') || (u >= 'A' && u <= 'F') || (u >= 'a' && u <= 'f')))
            return false;
    }
    return true;
}

// The page object a "sourcepages" child names: a page class the program
// knows, else a plain report page.
std::unique_ptr<TrpReportPage> NewSourcePage(const QString& ClassName)
{
    if (const TrpClassInfo* cls = TrpClassRegistry::Find(ClassName); cls && cls->CanCreate()) {
        std::unique_ptr<TrpPersistentComponent> made = cls->Create();
        if (auto* page = dynamic_cast<TrpReportPage*>(made.get())) {
            made.release();
            return std::unique_ptr<TrpReportPage>(page);
        }
    }
    return std::make_unique<TrpReportPage>();
}

// Whether an object item of a diff-form page can be rebuilt: its name is an
// alias with a source object, or a class that makes a report object.
class TItemNameCheck {
public:
    explicit TItemNameCheck(const TrpDictionary& Dictionary)
        : FDictionary(Dictionary)
    {
    }
    bool operator()(const QString& Name)
    {
        const auto known = FKnown.constFind(Name);
        if (known != FKnown.cend())
            return *known;
        bool ok = FDictionary.GetObject(Name) != nullptr;
        if (!ok) {
            if (const TrpClassInfo* cls = TrpClassRegistry::Find(Name); cls && cls->CanCreate()) {
                const std::unique_ptr<TrpPersistentComponent> probe = cls->Create();
                ok = dynamic_cast<TrpComponent*>(probe.get()) != nullptr;
            }
        }
        if (FKnown.size() < 4096)
            FKnown.insert(Name, ok);
        return ok;
    }

private:
    const TrpDictionary& FDictionary;
    QHash<QString, bool> FKnown;
};

} // namespace

// ------------------------------------------------------------------ saving

void TrpPreviewPages::BuildFileSections()
{
    TrpXMLItem* root = FXMLDoc.Root();

    TrpXMLItem* report = root->FindItem(QStringLiteral("report"));
    report->Clear();
    TrpReport* r = Report();
    TrpXMLItem* settings = report->Add(r ? r->ClassName() : QStringLiteral("TrpReport"));
    settings->SetProp(QStringLiteral("DotMatrixReport"), BoolText(r && r->DotMatrixReport()));
    settings->SetProp(
        QStringLiteral("PreviewOptions.OutlineVisible"), BoolText(r && r->PreviewOptions()->OutlineVisible));
    settings->SetProp(QStringLiteral("PreviewOptions.OutlineWidth"),
        QString::number(r ? r->PreviewOptions()->OutlineWidth : 120));
    settings->SetProp(QStringLiteral("ReportOptions.Name"), r ? r->ReportOptions()->Name() : QString());

    TrpXMLItem* sources = root->FindItem(QStringLiteral("sourcepages"));
    sources->Clear();
    for (const auto& page : FSourcePages)
        WriteWholePage(page.get(), sources->Add());

    TrpXMLItem* dictionary = root->FindItem(QStringLiteral("dictionary"));
    dictionary->Clear();
    for (const QString& alias : FDictionary.SortedNames())
        // The source name is made of a page number and an object name, so
        // it is written as it stands.
        dictionary->Add(alias)->SetText(
            QStringLiteral("name=\"") + FDictionary.GetSourceName(alias) + QLatin1Char('"'));

    FPictureCache.SaveToXML(root->FindItem(QStringLiteral("picturecache")));
}

void TrpPreviewPages::WriteDocument(QIODevice& Stream)
{
    TrpXMLWriter writer(Stream, &FXMLDoc, false);
    writer.WriteHeader();
    TrpXMLItem* root = FXMLDoc.Root();
    TrpXMLItem* pages = PagesItem();
    writer.WriteStartTag(root, 0);
    for (int i = 0; i < root->Count(); ++i) {
        TrpXMLItem* section = root->Items(i);
        if (section != pages || pages->Count() == 0) {
            writer.WriteItem(section, 1);
            continue;
        }
        writer.WriteStartTag(pages, 1);
        for (int p = 0; p < pages->Count(); ++p) {
            TrpXMLItem* item = pages->Items(p);
            const auto packed = FPacked.constFind(item);
            if (packed == FPacked.cend()) {
                writer.WriteItem(item, 2);
                continue;
            }
            TrpXMLItem scratch(item->Name());
            scratch.SetText(item->Text());
            scratch.SetUnloadable(item->Unloadable());
            FPack.Unpack(*packed, &scratch);
            writer.WriteItem(&scratch, 2);
        }
        writer.WriteEndTag(pages, 1);
    }
    writer.WriteEndTag(root, 0);
    writer.Flush();
}

void TrpPreviewPages::SaveToStream(QIODevice* Stream)
{
    if (!Stream)
        throw TrpStorageError(QStringLiteral("Cannot write the file: no stream"));
    // No compressor exists in this program, so the file is plain XML even
    // when ReportOptions.Compressed is set.
    BuildFileSections();
    WriteDocument(*Stream);
}

void TrpPreviewPages::SaveToFile(const QString& FileName)
{
    // Written beside the target and renamed over it only when complete, so
    // a failure never destroys an existing file.
    QSaveFile file(FileName);
    if (!file.open(QIODevice::WriteOnly))
        throw TrpStorageError(
            QStringLiteral("Cannot create file \"%1\": %2").arg(FileName, file.errorString()));
    SaveToStream(&file);
    if (!file.commit())
        throw TrpStorageError(
            QStringLiteral("Cannot write file \"%1\": %2").arg(FileName, file.errorString()));
}

// ----------------------------------------------------------------- loading

void TrpPreviewPages::ReadFileSections(TrpXMLDocument& Doc, TLoadedReport& Loaded) const
{
    TrpXMLItem* root = Doc.Root();
    if (root->Name().compare(QLatin1String("preparedreport"), Qt::CaseInsensitive) != 0)
        throw TrpInvalidXMLException();

    if (const TrpXMLItem* report = Section(root, QStringLiteral("report")); report && report->Count() > 0) {
        const TrpXMLItem* settings = report->Items(0);
        Loaded.HasReport = true;
        Loaded.DotMatrixReport = TextBool(settings->Prop(QStringLiteral("DotMatrixReport")));
        Loaded.OutlineVisible = TextBool(settings->Prop(QStringLiteral("PreviewOptions.OutlineVisible")));
        bool ok = false;
        const int width = settings->Prop(QStringLiteral("PreviewOptions.OutlineWidth")).toInt(&ok);
        if (ok && width >= 0 && width <= 10000)
            Loaded.OutlineWidth = width;
        Loaded.Name = settings->Prop(QStringLiteral("ReportOptions.Name"));
    }

    // Objects of unknown classes and values that do not convert are skipped
    // by the serializer; its messages are not shown.
    std::vector<QHash<QString, TrpComponent*>> byName;
    const int sourcesAt = root->Find(QStringLiteral("sourcepages"));
    if (sourcesAt >= 0) {
        TrpXMLItem* sources = root->Items(sourcesAt);
        for (int i = 0; i < sources->Count(); ++i) {
            TrpXMLItem* child = sources->Items(i);
            std::unique_ptr<TrpReportPage> page = NewSourcePage(child->Name());
            TrpXMLSerializer serializer;
            serializer.OldFormat = Doc.OldVersion();
            serializer.SetOwner(page.get());
            serializer.ReadRootComponent(page.get(), child);
            QHash<QString, TrpComponent*> names;
            for (TrpComponent* o : std::vector<TrpComponent*>(page->AllObjects())) {
                if (o == page.get())
                    continue;
                o->SetBaseName(o->ComponentStyle().testFlag(csDefaultDiff) ? o->ClassName()
                                                                           : serializer.WriteComponentStr(o));
                names.insert(o->Name().toLower(), o);
            }
            byName.push_back(std::move(names));
            Loaded.SourcePageTexts.push_back(TrpXMLSerializer().ObjToXML(page.get()));
            Loaded.SourcePages.push_back(std::move(page));
        }
        // The live source pages hold this content from now on.
        while (sources->Count() > 0)
            sources->Delete(sources->Count() - 1);
    }

    if (const TrpXMLItem* dictionary = Section(root, QStringLiteral("dictionary"))) {
        for (int i = 0; i < dictionary->Count(); ++i) {
            const TrpXMLItem* entry = dictionary->Items(i);
            const QString source = entry->Prop(QStringLiteral("name"));
            TrpComponent* obj = nullptr;
            // "Page" + index + "." + object name; the first four characters
            // are not looked at. Anything else names no object.
            const qsizetype dot = source.indexOf(u'.');
            if (dot > 4) {
                bool ok = false;
                const int index = QStringView(source).mid(4, dot - 4).toInt(&ok);
                if (ok && index >= 0 && index < int(byName.size()))
                    obj = byName[size_t(index)].value(source.mid(dot + 1).toLower());
            }
            Loaded.Dictionary.Add(entry->Name(), source, obj);
        }
    }

    if (const TrpXMLItem* pictures = Section(root, QStringLiteral("picturecache")))
        for (int i = 0; i < pictures->Count(); ++i)
            if (!IsHexPairs(pictures->Items(i)->Prop(QStringLiteral("stream"))))
                throw TrpInvalidXMLException();

    // Every object item of a page read now must lead to something that can
    // be rebuilt; pages left in the file by partial loading are checked when
    // they are read back.
    if (const TrpXMLItem* pages = Section(root, QStringLiteral("previewpages"))) {
        TItemNameCheck canBuild(Loaded.Dictionary);
        std::vector<const TrpXMLItem*> stack;
        for (int p = 0; p < pages->Count(); ++p) {
            const TrpXMLItem* page = pages->Items(p);
            if (IsWholeForm(page) || !page->Loaded())
                continue;
            for (int i = 0; i < page->Count(); ++i)
                stack.push_back(page->Items(i));
            while (!stack.empty()) {
                const TrpXMLItem* item = stack.back();
                stack.pop_back();
                if (!canBuild(item->Name()))
                    throw TrpInvalidXMLException();
                for (int i = 0; i < item->Count(); ++i)
                    stack.push_back(item->Items(i));
            }
        }
    }
}

void TrpPreviewPages::CommitLoaded(TrpXMLDocument& Doc, TLoadedReport& Loaded, bool AllowPartialLoading)
{
    Clear();
    FXMLDoc.Swap(Doc);
    FSourcePages = std::move(Loaded.SourcePages);
    FSourcePageTexts = std::move(Loaded.SourcePageTexts);
    FDictionary = std::move(Loaded.Dictionary);
    FAllowPartialLoading = AllowPartialLoading;
    FPagesItem = nullptr;
    FOutline.Reset();

    TrpXMLItem* root = FXMLDoc.Root();
    FPictureCache.SetUseFileCache(FPictureCacheInFile);
    FPictureCache.LoadFromXML(root->FindItem(QStringLiteral("picturecache")));

    // Pages read in full take their compact form, as after a report run.
    TrpXMLItem* pages = PagesItem();
    for (int i = 0; i < pages->Count(); ++i)
        PackPage(pages->Items(i));

    if (TrpReport* report = Report(); report && Loaded.HasReport) {
        report->SetDotMatrixReport(Loaded.DotMatrixReport);
        report->PreviewOptions()->OutlineVisible = Loaded.OutlineVisible;
        report->PreviewOptions()->OutlineWidth = Loaded.OutlineWidth;
        report->ReportOptions()->SetName(Loaded.Name);
    }
    Q_ASSERT(InvariantsHold());
}

void TrpPreviewPages::LoadFromStream(QIODevice* Stream, bool AllowPartialLoading)
{
    if (!Stream)
        throw TrpInvalidXMLException();
    // No compressor exists in this program: the stream is read as it is.
    TrpXMLDocument doc;
    doc.SetTempDir(FXMLDoc.TempDir());
    if (AllowPartialLoading) {
        // The pages left unread are read back later; the document keeps its
        // own copy of the bytes, so the caller may close the stream.
        auto copy = std::make_unique<QBuffer>();
        copy->setData(Stream->readAll());
        copy->open(QIODevice::ReadOnly);
        doc.LoadFromStream(std::move(copy), true);
    } else {
        doc.LoadFromStream(*Stream);
    }
    TLoadedReport loaded;
    ReadFileSections(doc, loaded);
    CommitLoaded(doc, loaded, AllowPartialLoading);
}

bool TrpPreviewPages::LoadFromFile(const QString& FileName, bool ExceptionIfNotFound)
{
    if (!ExceptionIfNotFound && !QFileInfo::exists(FileName))
        return false;
    QFile file(FileName);
    if (!file.open(QIODevice::ReadOnly))
        throw TrpStorageError(
            QStringLiteral("Cannot open file \"%1\": %2").arg(FileName, file.errorString()));
    LoadFromStream(&file, false);
    return true;
}
