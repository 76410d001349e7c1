#!/usr/bin/env bash
echo "KESTREL is not assembled yet: the program and its demo come with the application."
