"""The list of scenarios and what each one is handed."""

import dataclasses
import os


@dataclasses.dataclass
class Scenario:
    name: str
    function: object
    labels: tuple
    a11y_user: str


SCENARIOS = {}


def scenario(name, labels=("e2e",), a11y_user="self"):
    """Registers a scenario. `a11y_user` "nobody": the programs it reads run
    as the unprivileged user (see harness.Desktop)."""
    def register(function):
        if name in SCENARIOS:
            raise ValueError(f"scenario {name} registered twice")
        SCENARIOS[name] = Scenario(name, function, tuple(labels), a11y_user)
        return function
    return register


class Context:
    """What a scenario works with: the desktop, the programs and a folder."""

    def __init__(self, desktop, work, orvantis, calc, probe, cmake, build_dir):
        self.desktop = desktop
        self.work = work
        self.orvantis = orvantis
        self.calc = calc
        self.probe = probe
        self.cmake = cmake
        self.build_dir = build_dir
        self._profile = None

    @property
    def profile(self):
        """The default user's folders (created on first use)."""
        if self._profile is None:
            self._profile = self.desktop.profile("user")
        return self._profile

    @property
    def settings_file(self):
        return os.path.join(self.profile["XDG_CONFIG_HOME"], "orvantis", "orvantis.ini")
