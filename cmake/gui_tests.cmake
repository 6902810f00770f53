# The UI driver and the end-to-end tests that start the real vortilo.exe.
