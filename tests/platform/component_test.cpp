#include "platform/core/component.h"
#include "tests/platform/raises.h"
#include <QStringList>
#include <gtest/gtest.h>

namespace {

// Records, in one shared log, every notice it receives and its own release; keeps a reference it asked free
// notification for, and forgets it on removal as components must.
class Probe : public TComponent {
public:
  Probe(TComponent *owner, const QString &name, QStringList *log) : TComponent(owner), log_(log) {
    SetName(name);
  }
  ~Probe() override { log_->append(QStringLiteral("destroy %1").arg(Name())); }
  QString ClassName() const override { return QStringLiteral("TProbe"); }

  void Notification(TComponent *c, TOperation op) override {
    TComponent::Notification(c, op);
    if (op == opRemove) {
      log_->append(QStringLiteral("%1 hears remove %2").arg(Name(), c->Name()));
      if (c == ref) ref = nullptr;
    }
  }
  void BeforeDestruction() override {
    log_->append(QStringLiteral("before %1 destroying=%2")
                     .arg(Name())
                     .arg(ComponentState().Contains(csDestroying) ? 1 : 0));
    TComponent::BeforeDestruction();
  }
  void SetRef(TComponent *c) {
    ref = c;
    if (c) c->FreeNotification(this);
  }

  TComponent *ref = nullptr;

private:
  QStringList *log_;
};

// The notice of an insertion is shown by the control library's controllers, which listen for it.
TEST(Component, OwnerListsComponentsInInsertionOrderAndLetsThemGo) {
  auto *form = new TComponent(nullptr);
  auto *a = new TComponent(form);
  auto *b = new TComponent(form);
  auto *c = new TComponent(form);
  c->SetComponentIndex(0); // c, a, b
  EXPECT_EQ(std::tuple(form->Components(0), form->Components(1), b->ComponentIndex()), std::tuple(c, a, 2));
  form->RemoveComponent(b);
  EXPECT_EQ(std::pair(b->Owner(), form->ComponentCount()), std::pair(static_cast<TComponent *>(nullptr), 2))
      << "removed, it stays alive";
  form->Free();
  b->SetName(QStringLiteral("StillHere"));
  b->Free();
}

TEST(Component, OwnerFreesOwnedLastCreatedFirstWithNotices) {
  QStringList log;
  auto *form = new Probe(nullptr, "Form", &log);
  new Probe(form, "A", &log);
  auto *b = new Probe(form, "B", &log);
  new Probe(b, "B1", &log);
  log.clear();
  form->Free();
  const QStringList expected = {
      "before Form destroying=0",
      "before B destroying=1",
      "before B1 destroying=1",
      // B1 leaves B: B hears it (and passes it to what it owns, which is B1 itself)
      "B1 hears remove B1",
      "B hears remove B1",
      "destroy B1",
      // B leaves the form: the form tells every component it still owns, last first, then itself
      "B hears remove B",
      "A hears remove B",
      "Form hears remove B",
      "destroy B",
      "before A destroying=1",
      "A hears remove A",
      "Form hears remove A",
      "destroy A",
      "destroy Form",
  };
  EXPECT_EQ(log, expected);
}

TEST(Component, DeleteIsAsSafeAsFree) {
  QStringList log;
  auto *form = new Probe(nullptr, "Form", &log);
  auto *a = new Probe(form, "A", &log);
  auto *outsider = new Probe(nullptr, "Outsider", &log);
  outsider->SetRef(a);
  delete a; // not through Free: the owner and the linked component must still forget it
  EXPECT_EQ(form->ComponentCount(), 0);
  EXPECT_EQ(outsider->ref, nullptr);
  new Probe(form, "B", &log);
  delete form;
  outsider->Free();
  EXPECT_TRUE(log.contains("destroy B"));
}

TEST(Component, FreeNotificationAcrossOwnersIsClearedFromEitherSideOrRemoved) {
  QStringList log;
  auto *form1 = new Probe(nullptr, "Form1", &log);
  auto *form2 = new Probe(nullptr, "Form2", &log);
  auto *source = new Probe(form1, "Source", &log);
  auto *grid = new Probe(form2, "Grid", &log);
  grid->SetRef(source);

  // The referring side goes first: the source must not keep the dead grid and tell it later.
  grid->Free();
  EXPECT_FALSE(log.contains("Grid hears remove Source"));
  auto *grid2 = new Probe(form2, "Grid2", &log);
  grid2->SetRef(source);
  log.clear();
  form1->Free();
  EXPECT_TRUE(log.contains("Grid2 hears remove Source"));
  EXPECT_EQ(grid2->ref, nullptr);
  EXPECT_EQ(form2->Components(0), grid2);
  form2->Free();

  // RemoveFreeNotification drops the link.
  log.clear();
  auto *a = new Probe(nullptr, "A", &log);
  auto *b = new Probe(nullptr, "B", &log);
  b->SetRef(a);
  a->RemoveFreeNotification(b);
  a->Free();
  EXPECT_FALSE(log.contains("B hears remove A"));
  EXPECT_NE(b->ref, nullptr); // it was not told: the link was gone
  b->Free();
}

TEST(Component, FreeingFromInsideANoticeDoesNotFreeTwiceAndFreeAndNil) {
  // A component that frees its partner when told of its own owner's removal.
  struct Greedy : TComponent {
    using TComponent::TComponent;
    TComponent *victim = nullptr;
    void Notification(TComponent *c, TOperation op) override {
      TComponent::Notification(c, op);
      if (op == opRemove && victim && c != victim) {
        TComponent *v = victim;
        victim = nullptr;
        v->Free();
      }
    }
  };
  auto *form = new TComponent(nullptr);
  auto *g = new Greedy(form);
  auto *x = new TComponent(form);
  auto *y = new TComponent(form);
  g->victim = x;
  y->Free(); // g frees x while being told of y
  EXPECT_EQ(form->ComponentCount(), 1);
  EXPECT_EQ(form->Components(0), g);
  FreeAndNil(form);
  EXPECT_EQ(form, nullptr);
}

struct NameCase {
  const char *name;
  bool valid;
};

TEST(Component, NamesAreIdentifiersUniqueAmongTheOwnersAndFoundWithoutRegardToCase) {
  const NameCase cases[] = {{"_x1", true}, {"1abc", false}, {"my name", false}, {"Ünï", false}};
  for (const NameCase &c : cases) {
    TComponent comp(nullptr);
    const QString name = QString::fromUtf8(c.name);
    if (c.valid) {
      comp.SetName(name);
      EXPECT_EQ(comp.Name(), name);
    } else {
      EXPECT_EQ(MessageOf<EComponentError>([&] { comp.SetName(name); }),
                QStringLiteral("'%1' is not a valid component name").arg(name));
    }
  }
  // Names are unique among an owner's components, found without regard to case.
  auto *form = new TComponent(nullptr);
  auto *edit = new TComponent(form);
  edit->SetName(QStringLiteral("Edit1"));
  auto *other = new TComponent(form);
  EXPECT_EQ(MessageOf<EComponentError>([&] { other->SetName(QStringLiteral("EDIT1")); }),
            "A component named EDIT1 already exists");
  EXPECT_EQ(other->Name(), QString());
  edit->SetName(QStringLiteral("EDIT1")); // a change of case of its own name is allowed
  EXPECT_EQ(form->FindComponent(QStringLiteral("edit1")), edit);

  // Inserting a component whose name is taken fails and leaves it where it was.
  auto *elsewhere = new TComponent(nullptr);
  auto *stray = new TComponent(elsewhere);
  stray->SetName(QStringLiteral("Edit1"));
  EXPECT_THROW(form->InsertComponent(stray), EComponentError);
  EXPECT_EQ(stray->Owner(), elsewhere);
  EXPECT_THROW(stray->InsertComponent(elsewhere), EComponentError); // would own its own owner
  form->Free();
  elsewhere->Free();
}

TEST(Component, LoadedComesOwnerFirstOnceReadingIsOver) {
  struct Loader : TComponent {
    Loader(TComponent *owner, const char *name, QStringList *order) : TComponent(owner), order(order) {
      SetName(QString::fromLatin1(name));
    }
    QStringList *order;
    bool wasReading = false;
    void Loaded() override {
      TComponent::Loaded();
      wasReading = ComponentState().Contains(csReading);
      order->append(Name());
    }
  };
  QStringList order;
  auto *form = new Loader(nullptr, "Form", &order);
  auto *a1 = new Loader(new Loader(form, "A", &order), "A1", &order);
  auto *b = new Loader(form, "B", &order);
  form->BeginLoading();
  EXPECT_TRUE(a1->ComponentState().Contains(csLoading));
  form->EndLoading();
  EXPECT_EQ(order, QStringList({"Form", "A", "A1", "B"}));
  EXPECT_FALSE(b->wasReading);
  form->Free();
}

} // namespace
