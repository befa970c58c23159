"""Vestrel starts in the sandbox prefix with one 370 x 450 window titled Vestrel; closing it asks, then ends."""
import os

import desktop


def test(args):
    program = desktop.Program(os.path.join(args.program_dir, "Vestrel.exe"))
    try:
        window = desktop.wait_window("Vestrel")
        assert len(desktop.find_windows("Vestrel")) == 1, "more than one Vestrel window"
        desktop.poll(lambda: window.geometry()[2:] == (370, 450), 10, "a 370 x 450 window")
        window.key("alt+F4")
        prompt = desktop.wait_sized_window(300, 240)
        prompt.key("Return")  # "Close it"
        desktop.wait_no_window("Vestrel")
        assert program.wait_exit(30) == 0
    finally:
        program.kill()


if __name__ == "__main__":
    desktop.run(test)
