# SPDX-FileCopyrightText: 2026 the Kerbolt team
#
# SPDX-License-Identifier: GPL-3.0-or-later

"""Generators for the Kerbolt 2008 resources tree.

Every module writes its files through assetlib.common so that the tree is
reproducible: fixed seeds, no time stamps, truecolour PNGs with
power-of-two sides, 16-bit mono WAVs.
"""
